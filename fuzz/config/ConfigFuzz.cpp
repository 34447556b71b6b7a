// Feeds arbitrary bytes to the INI reader (as a settings file and as a template) and to the
// comma-text, integer and cipher readers: none may crash, hang or read out of bounds.
#include "config/Cipher.h"
#include "config/IniFile.h"
#include "config/SettingsText.h"
#include "config/TConfigurazione.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace contivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = dir.path() + "/f.ini";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    IniFile ini(path);
    for (const QString& s : ini.sections())
        for (const QString& k : ini.keys(s))
            ini.readString(s, k);
    TConfigurazione store(dir.path() + "/cfg", "Contivo", {}, path);
    for (const QString& s : store.GetSectionNames())
        for (const QString& k : store.GetSectionKeys(s)) {
            store.GetFieldType(s, k);
            store.GetFieldWidth(s, k);
            store.ReadInteger(s, k, 0);
            store.ReadFloat(s, k, 0);
        }
    const QString text = QString::fromLatin1(bytes);
    settingstext::parseCommaText(text);
    settingstext::toInt(text);
    DecipherText(text, QStringLiteral("0123456789ABCDEF0123456789ABCDEF"));
    return 0;
}
