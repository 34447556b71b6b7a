#pragma once

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>

namespace contivo::platform {

/// A library loaded at run time by its path and unloaded when the object goes (or on unload()).
/// Functions are resolved by name when they are needed, as the program's bindings do.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { unload(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    /// Loads the library file at path; false (with errorString()) when it cannot be loaded.
    bool load(const QString& path);
    void unload();
    bool isLoaded() const { return m_lib.isLoaded(); }
    /// The exported function of that name, or nullptr.
    QFunctionPointer resolve(const char* name);
    template <typename Fn> Fn resolveAs(const char* name) { return reinterpret_cast<Fn>(resolve(name)); }
    QString errorString() const { return m_lib.errorString(); }
    QString fileName() const { return m_lib.fileName(); }

    /// The platform's file name of a library: "Tabulon" gives "libTabulon.so".
    static QString platformFileName(const QString& baseName);

private:
    QLibrary m_lib;
};

}
