#include "lang/LanguageChecks.h"

#include "lang/Language.h"

#include <QFileInfo>

namespace contivo {

bool CheckCsvInterface(const QString& path)
{
    if (QFileInfo(path).isFile())
        return true;
    ShowErrorKey(QString::fromLatin1(kMsgNoCsvInterfaceKey), QString::fromUtf8(kMsgNoCsvInterfaceText));
    return false;
}

}
