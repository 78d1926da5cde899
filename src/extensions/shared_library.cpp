#include "extensions/shared_library.h"

#include <QFile>

#include <cstring>

#include <dlfcn.h>
#include <link.h>

namespace tomeric {

namespace {

// The ELF identity of the libraries this program can load.
constexpr unsigned char kNativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kNativeByteOrder =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__)
constexpr int kNativeMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kNativeMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kNativeMachine = EM_386;
#elif defined(__arm__)
constexpr int kNativeMachine = EM_ARM;
#else
constexpr int kNativeMachine = -1; // unknown here: the system loader decides
#endif

TLibraryFileCheck Refusal(TLibraryFileKind kind, const QString& reason) { return {kind, reason}; }

// Copies a header out of the file, which need not be aligned for it.
template <class Header>
Header HeaderAt(QByteArrayView bytes, std::uint64_t offset)
{
    Header header;
    std::memcpy(&header, bytes.data() + offset, sizeof header);
    return header;
}

// True when [offset, offset + length) lies inside a file of `size` bytes.
bool Inside(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

} // namespace

TLibraryFileCheck CheckLibraryBytes(QByteArrayView bytes)
{
    const auto size = std::uint64_t(bytes.size());
    if (bytes.startsWith("MZ"))
        return Refusal(TLibraryFileKind::lfWindows, QStringLiteral("a Windows library"));
    if (!bytes.startsWith(ELFMAG))
        return Refusal(TLibraryFileKind::lfNotALibrary, QStringLiteral("invalid ELF header"));
    if (size < EI_NIDENT)
        return Refusal(TLibraryFileKind::lfCutShort, QStringLiteral("file too short"));
    if (std::uint8_t(bytes[EI_CLASS]) != kNativeClass)
        return Refusal(TLibraryFileKind::lfOtherMachine, QStringLiteral("wrong ELF class"));
    if (std::uint8_t(bytes[EI_DATA]) != kNativeByteOrder)
        return Refusal(TLibraryFileKind::lfOtherMachine, QStringLiteral("wrong ELF byte order"));
    if (size < sizeof(ElfW(Ehdr)))
        return Refusal(TLibraryFileKind::lfCutShort, QStringLiteral("file too short"));
    const auto elf = HeaderAt<ElfW(Ehdr)>(bytes, 0);
    if (kNativeMachine >= 0 && elf.e_machine != kNativeMachine)
        return Refusal(TLibraryFileKind::lfOtherMachine,
                       QStringLiteral("built for another processor (ELF machine %1)").arg(elf.e_machine));
    if (elf.e_type != ET_DYN)
        return Refusal(TLibraryFileKind::lfNotALibrary, QStringLiteral("not a shared object"));
    if (elf.e_phentsize != sizeof(ElfW(Phdr)) || elf.e_phnum == 0)
        return Refusal(TLibraryFileKind::lfNotALibrary, QStringLiteral("no program headers"));
    if (!Inside(elf.e_phoff, std::uint64_t(elf.e_phnum) * sizeof(ElfW(Phdr)), size))
        return Refusal(TLibraryFileKind::lfCutShort, QStringLiteral("program headers past the end of the file"));
    for (int i = 0; i < elf.e_phnum; ++i) {
        const auto segment = HeaderAt<ElfW(Phdr)>(bytes, elf.e_phoff + std::uint64_t(i) * sizeof(ElfW(Phdr)));
        if (segment.p_type == PT_LOAD && !Inside(segment.p_offset, segment.p_filesz, size))
            return Refusal(TLibraryFileKind::lfCutShort, QStringLiteral("a segment past the end of the file"));
    }
    return {};
}

TLibraryFileCheck CheckLibraryFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refusal(TLibraryFileKind::lfNotALibrary, file.errorString());
    if (file.size() == 0)
        return CheckLibraryBytes({});
    // Mapped rather than read: only the pages the headers name are touched.
    const uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr)
        return CheckLibraryBytes(file.readAll());
    const TLibraryFileCheck check =
        CheckLibraryBytes(QByteArrayView(reinterpret_cast<const char*>(mapped), file.size()));
    file.unmap(const_cast<uchar*>(mapped));
    return check;
}

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

} // namespace tomeric
