#include "platform/DynamicLibrary.h"

namespace contivo::platform {

bool DynamicLibrary::load(const QString& path)
{
    unload();
    m_lib.setFileName(path);
    return m_lib.load();
}

void DynamicLibrary::unload()
{
    if (m_lib.isLoaded())
        m_lib.unload();
}

QFunctionPointer DynamicLibrary::resolve(const char* name)
{
    if (!m_lib.isLoaded())
        return nullptr;
    return m_lib.resolve(name);
}

QString DynamicLibrary::platformFileName(const QString& baseName)
{
    return QStringLiteral("lib") + baseName + QStringLiteral(".so");
}

}
