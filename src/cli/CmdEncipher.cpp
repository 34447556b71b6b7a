#include "cli/CliIo.h"
#include "cli/Commands.h"
#include "config/Cipher.h"

namespace contivo::cli {

int cmdEncipher(const QStringList& args)
{
    const Args parsed(args, {QStringLiteral("key-file")});
    const std::optional<QString> keyFile = parsed.value(QStringLiteral("key-file"));
    if (!parsed.ok() || !keyFile || parsed.positional().size() != 1)
        return 2;
    try {
        printOut(EncipherText(parsed.positional().front(), DeriveSettingsKey(*keyFile)));
    } catch (const ESecHashException& e) {
        printErr(QString::fromLatin1(e.what()) + QStringLiteral(" (") + *keyFile + QLatin1Char(')'));
        return 1;
    }
    return 0;
}

}
