#include "extensions/shared_library.h"

#include <QFile>

#include <dlfcn.h>

namespace tomeric {

TSharedLibrary::~TSharedLibrary() { Close(); }

bool TSharedLibrary::Open(const QString& path) {
    Close();
    handle_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        error_ = QString::fromLocal8Bit(reason ? reason : "dlopen failed");
        return false;
    }
    error_.clear();
    return true;
}

void TSharedLibrary::Close() {
    if (handle_ != nullptr)
        dlclose(handle_);
    handle_ = nullptr;
}

void* TSharedLibrary::Symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

bool TSharedLibrary::IsWindowsLibrary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(2) == "MZ";
}

} // namespace tomeric
