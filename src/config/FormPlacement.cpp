#include "config/TConfigurazione.h"

#include <QEvent>
#include <QWidget>

namespace contivo {
namespace {

const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kMaximized = QStringLiteral("Maximized");

/// Writes the window's geometry into its section whenever the window is closed or hidden
/// (not when it is merely minimised, which the system reports as a spontaneous hide).
class PlacementSaver : public QObject {
public:
    PlacementSaver(TConfigurazione& store, QWidget& form)
        : QObject(&form)
        , m_store(store)
        , m_form(form)
    {
        form.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window that closes is hidden too; a refused close leaves it shown and saves nothing.
        if (watched == &m_form && event->type() == QEvent::Hide && !event->spontaneous())
            save();
        return false;
    }

private:
    void save()
    {
        const bool maximized = m_form.isMaximized();
        const QRect r = maximized ? m_form.normalGeometry() : m_form.geometry();
        if (!r.isValid())
            return;
        const QString section = placementSection(m_form.objectName());
        try {
            m_store.iniFile().writeStrings({{section, kLeft, QString::number(r.x())},
                                            {section, kTop, QString::number(r.y())},
                                            {section, kWidth, QString::number(r.width())},
                                            {section, kHeight, QString::number(r.height())},
                                            {section, kMaximized, maximized ? QStringLiteral("True") : QStringLiteral("False")}});
        } catch (const std::exception&) {
            // A placement that cannot be saved is not worth an error at close time.
        }
    }

    TConfigurazione& m_store;
    QWidget& m_form;
};

}

QString placementSection(const QString& objectName)
{
    const qsizetype underscore = objectName.indexOf(QLatin1Char('_'));
    return underscore < 0 ? objectName : objectName.left(underscore);
}

void BindFormPlacement(TConfigurazione& store, QWidget& form)
{
    const QString section = placementSection(form.objectName());
    const int missing = TConfigurazione::kMissingInteger;
    const int left = store.ReadInteger(section, kLeft, missing);
    const int top = store.ReadInteger(section, kTop, missing);
    const int width = store.ReadInteger(section, kWidth, missing);
    const int height = store.ReadInteger(section, kHeight, missing);
    if (left != missing && top != missing && width > 0 && height > 0 && width != missing && height != missing)
        form.setGeometry(left, top, width, height);
    if (store.ReadBool(section, kMaximized, false))
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
    new PlacementSaver(store, form);
}

}
