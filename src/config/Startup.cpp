#include "config/Startup.h"

#include "platform/Folders.h"
#include "platform/SystemFolders.h"

#include <memory>
#include <stdexcept>

namespace contivo {
namespace {

// Created at start-up and kept for the whole run; a new call (tests) replaces them.
std::unique_ptr<TConfigurazione> g_startup;
std::unique_ptr<TConfigurazione> g_user;

}

QString ResolveUserFolder(const QString& value)
{
    const QString upper = value.toUpper();
    if (upper == QLatin1String("<USERAPPDATA>"))
        return platform::specialFolderPath(platform::kFolderUserAppData) + QLatin1Char('/') + executableBaseName()
            + QLatin1Char('/');
    if (upper == QLatin1String("<SHAREDAPPDATA>"))
        return platform::specialFolderPath(platform::kFolderSharedAppData) + QLatin1Char('/') + executableBaseName()
            + QLatin1Char('/');
    if (upper == QLatin1String("<APPDIR>"))
        return CartellaProgramma() + QStringLiteral("User/");
    // A folder written without its trailing separator would put the data beside it, in folders
    // named by concatenation: the separator is added.
    if (!value.isEmpty() && !value.endsWith(QLatin1Char('/')))
        return value + QLatin1Char('/');
    return value;
}

void InizializzaCartelle(const QString& name)
{
    g_startup = std::make_unique<TConfigurazione>(SottocartellaProgramma(QStringLiteral("Config")), name, QString());
    const QString userDir = g_startup->ReadString(QStringLiteral("Avvio"), QStringLiteral("UserDir"),
                                                  QStringLiteral("<UserAppData>"));
    setUserFolder(ResolveUserFolder(userDir));
    g_user = std::make_unique<TConfigurazione>(SottocartellaUtente(QStringLiteral("Config")), name, FileChiave());
}

TConfigurazione& StartupSettings()
{
    if (!g_startup)
        throw std::logic_error("The start-up settings are not initialised yet");
    return *g_startup;
}

TConfigurazione& GetSettings()
{
    if (!g_user)
        throw std::logic_error("The user settings are not initialised yet");
    return *g_user;
}

bool SettingsReady() { return g_user != nullptr; }

}
