#pragma once
// A native shared library opened by path, closed when the object goes.
// Libraries are opened with their symbols kept private, so two plug-ins may
// export the same names.

#include <QByteArrayView>
#include <QString>

namespace tomeric {

// What a library file's header tells before the system is asked to load it.
enum class TLibraryFileKind {
    lfLoadable,     // an ELF shared object for this machine, whole as far as its headers tell
    lfWindows,      // a Windows executable or DLL (the "MZ" signature)
    lfNotALibrary,  // no ELF signature, or an ELF file that is not a shared object
    lfOtherMachine, // an ELF file for another word size, byte order or processor
    lfCutShort,     // its headers or loaded segments reach past the end of the file
};

struct TLibraryFileCheck {
    TLibraryFileKind kind = TLibraryFileKind::lfLoadable;
    QString reason; // what is wrong, in the words of a system loader; empty when loadable
};

// Checks a library file's bytes. A file that fails never reaches the system
// loader, which trusts the headers it maps and runs the library's code.
TLibraryFileCheck CheckLibraryBytes(QByteArrayView bytes);
// The same for a file; a file that cannot be read is not a library.
TLibraryFileCheck CheckLibraryFile(const QString& path);

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

private:
    void* handle_ = nullptr;
    QString error_;
};

} // namespace tomeric
