#pragma once
// A native shared library opened by path, closed when the object goes.
// Libraries are opened with their symbols kept private, so two plug-ins may
// export the same names.

#include <QString>

namespace tomeric {

class TSharedLibrary {
public:
    TSharedLibrary() = default;
    ~TSharedLibrary();
    TSharedLibrary(const TSharedLibrary&) = delete;
    TSharedLibrary& operator=(const TSharedLibrary&) = delete;

    // False with ErrorText() set when the system refuses the library.
    bool Open(const QString& path);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // The address of an exported function; null when it is not exported.
    void* Symbol(const char* name) const;
    template <class Function>
    Function Find(const char* name) const { return reinterpret_cast<Function>(Symbol(name)); }
    const QString& ErrorText() const { return error_; }

    // True when the file is a Windows executable or DLL (it starts with the
    // "MZ" signature): such a library can never load here.
    static bool IsWindowsLibrary(const QString& path);

private:
    void* handle_ = nullptr;
    QString error_;
};

} // namespace tomeric
