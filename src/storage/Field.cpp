#include "storage/FieldConvert.h"
#include "storage/RecordTable.h"

#include "base/DateTime.h"
#include "base/SystemFormats.h"

#include <QDate>
#include <QTime>

#include <array>
#include <cmath>
#include <limits>

namespace contivo {
namespace {
constexpr std::array<const char*, 23> kTypeNames = {
    "Unknown",
    "String",
    "SmallInt",
    "Integer",
    "Word",
    "Boolean",
    "Float",
    "Currency",
    "BCD",
    "Date",
    "Time",
    "DateTime",
    "Bytes",
    "VarBytes",
    "AutoInc",
    "Blob",
    "Memo",
    "Graphic",
    "FmtMemo",
    "ParadoxOle",
    "dBaseOle",
    "TypedBinary",
    "Cursor",
};
constexpr std::array<const char*, 5> kKindNames
    = { "Data", "Calculated", "Lookup", "InternalCalc", "Aggregate" };

// Date-time numbers from foreign files may lie far outside any calendar; they are shown as plain
// numbers instead of being handed to the date conversion.
constexpr double kMaxDays = 1e9;
bool calendarRange(double v)
{
    return std::isfinite(v) && std::fabs(v) < kMaxDays;
}

bool isDateType(FieldType t)
{
    return t == FieldType::Date || t == FieldType::Time || t == FieldType::DateTime;
}
bool isFixedPoint(FieldType t)
{
    return t == FieldType::Currency || t == FieldType::BCD;
}

QString timeText(double value)
{
    return QTime::fromMSecsSinceStartOfDay(dt::millisecondsOfDay(value))
        .toString(SystemFormats::longTimeFormat());
}

// Reads a date in the order of the system's short date format ("dd/MM/yyyy": day, month, year),
// accepting any of '/', '-', '.' as separator, one- or two-digit days and months, a two-digit
// year (00-49 -> 2000s), and the current year when only day and month are given.
bool parseDate(const QString& text, QDate& date)
{
    const QString format = SystemFormats::shortDateFormat();
    QString order;
    for (QChar c : format) {
        const QChar l = c.toLower();
        if ((l == u'd' || l == u'm' || l == u'y') && !order.contains(l))
            order += l;
    }
    if (order.size() != 3)
        order = QStringLiteral("dmy");
    QString t = text.trimmed();
    t.replace(u'-', u'/').replace(u'.', u'/');
    const QStringList parts = t.split(u'/');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int d = 0, m = 0, y = QDate::currentDate().year();
    QString dmy = parts.size() == 3 ? order : QString(order).remove(u'y');
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const QString p = parts[i].trimmed();
        if (p.isEmpty() || p.size() > 4)
            return false;
        const int v = p.toInt(&ok);
        if (!ok || v < 0)
            return false;
        if (dmy[i] == u'd')
            d = v;
        else if (dmy[i] == u'm')
            m = v;
        else
            y = p.size() <= 2 ? (v < 50 ? 2000 + v : 1900 + v) : v;
    }
    date = QDate(y, m, d);
    return date.isValid();
}

bool parseTime(const QString& text, double& fraction)
{
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int v[3] = { 0, 0, 0 };
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || v[i] < 0)
            return false;
    }
    const QTime t(v[0], v[1], v[2]);
    if (!t.isValid())
        return false;
    fraction = t.msecsSinceStartOfDay() / 86400000.0;
    return true;
}

qint64 roundToInteger(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 9.2e18)
        return 0;
    return static_cast<qint64>(std::nearbyint(v));
}
}

QString fieldTypeName(FieldType type)
{
    const int i = static_cast<int>(type);
    return i >= 0 && i < static_cast<int>(kTypeNames.size()) ? QString::fromLatin1(kTypeNames[i]) : QString();
}

bool fieldTypeFromName(const QString& name, FieldType& type)
{
    for (size_t i = 0; i < kTypeNames.size(); ++i) {
        if (name == QLatin1String(kTypeNames[i])) {
            type = static_cast<FieldType>(i);
            return true;
        }
    }
    return false;
}

QString fieldKindName(FieldKind kind)
{
    const int i = static_cast<int>(kind);
    return i >= 0 && i < static_cast<int>(kKindNames.size()) ? QString::fromLatin1(kKindNames[i]) : QString();
}

FieldKind fieldKindFromName(const QString& name)
{
    for (size_t i = 0; i < kKindNames.size(); ++i)
        if (name == QLatin1String(kKindNames[i]))
            return static_cast<FieldKind>(i);
    return FieldKind::Data;
}

ValueStorage storageOf(FieldType type)
{
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
        return ValueStorage::Integer;
    case FieldType::Boolean:
        return ValueStorage::Boolean;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return ValueStorage::Double;
    default:
        return ValueStorage::Text;
    }
}

QString FieldValue::takeText()
{
    QString out;
    if (auto* s = std::get_if<QString>(&m_value))
        out = std::move(*s);
    m_value = std::monostate();
    return out;
}

const QString& FieldValue::text() const
{
    static const QString empty;
    return std::holds_alternative<QString>(m_value) ? std::get<QString>(m_value) : empty;
}

int FieldDef::effectiveDisplayWidth() const
{
    if (displayWidth != 0)
        return displayWidth;
    return type == FieldType::String ? size : 10;
}

namespace conv {

QString toText(const FieldValue& v, FieldType type)
{
    if (v.isNull())
        return {};
    switch (storageOf(type)) {
    case ValueStorage::Text:
        return v.text();
    case ValueStorage::Integer:
        return QString::number(v.integer());
    case ValueStorage::Boolean:
        return v.boolean() ? QStringLiteral("True") : QStringLiteral("False");
    case ValueStorage::Double:
        break;
    }
    const double d = v.number();
    if (isDateType(type) && !calendarRange(d))
        return SystemFormats::formatGeneral(d);
    if (type == FieldType::Date)
        return SystemFormats::formatDate(dt::toDate(d));
    if (type == FieldType::Time)
        return timeText(d);
    if (type == FieldType::DateTime) {
        QString s = SystemFormats::formatDate(dt::toDate(d));
        if (dt::millisecondsOfDay(d) != 0)
            s += u' ' + timeText(d);
        return s;
    }
    return SystemFormats::formatGeneral(d);
}

qint64 toInteger(const FieldValue& v, FieldType type)
{
    if (v.isNull())
        return 0;
    switch (storageOf(type)) {
    case ValueStorage::Integer:
        return v.integer();
    case ValueStorage::Double:
        return roundToInteger(v.number());
    case ValueStorage::Boolean:
        return v.boolean() ? 1 : 0;
    case ValueStorage::Text:
        break;
    }
    bool ok = false;
    const qint64 n = v.text().trimmed().toLongLong(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("'%1' is not a valid integer value").arg(v.text()));
    return n;
}

double toDouble(const FieldValue& v, FieldType type)
{
    if (v.isNull())
        return 0.0;
    switch (storageOf(type)) {
    case ValueStorage::Integer:
        return static_cast<double>(v.integer());
    case ValueStorage::Double:
        return v.number();
    case ValueStorage::Boolean:
        return v.boolean() ? 1.0 : 0.0;
    case ValueStorage::Text:
        break;
    }
    double d = 0;
    if (!SystemFormats::parseDouble(v.text(), d))
        throw DatabaseError(QStringLiteral("'%1' is not a valid floating point value").arg(v.text()));
    return d;
}

double toDateTime(const FieldValue& v, FieldType type)
{
    if (v.isNull())
        return 0.0;
    if (storageOf(type) != ValueStorage::Text)
        return toDouble(v, type);
    double d = 0;
    if (!fromText(v.text(), FieldType::DateTime, QString(), d))
        throw DatabaseError(QStringLiteral("'%1' is not a valid date").arg(v.text()));
    return d;
}

bool fromText(const QString& text, FieldType type, const QString&, double& out)
{
    if (type == FieldType::Time)
        return parseTime(text, out);
    QString t = text.trimmed();
    QString timePart;
    if (type == FieldType::DateTime) {
        const int space = t.indexOf(u' ');
        if (space > 0) {
            timePart = t.mid(space + 1);
            t = t.left(space);
        }
    }
    QDate date;
    if (!parseDate(t, date))
        return false;
    double frac = 0;
    if (!timePart.isEmpty() && !parseTime(timePart, frac))
        return false;
    const double day = dt::fromDate(date);
    out = day < 0 ? day - frac : day + frac;
    return true;
}

FieldValue fromTextValue(const QString& text, const FieldDef& def)
{
    const FieldType type = def.type;
    switch (storageOf(type)) {
    case ValueStorage::Text:
        return FieldValue::fromText(
            type == FieldType::String && def.size > 0 && text.size() > def.size ? text.left(def.size) : text);
    case ValueStorage::Integer: {
        if (text.isEmpty())
            return {};
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok || !inRange(n, type))
            throw DatabaseError(
                QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, def.name));
        return FieldValue::fromInteger(n);
    }
    case ValueStorage::Double: {
        if (text.isEmpty())
            return {};
        double d = 0;
        if (isDateType(type)) {
            if (!fromText(text, type, def.name, d))
                throw DatabaseError(QStringLiteral("'%1' is not a valid date").arg(text));
        } else if (!SystemFormats::parseDouble(text, d)) {
            throw DatabaseError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                                    .arg(text, def.name));
        }
        return normalizeDouble(d, type);
    }
    case ValueStorage::Boolean: {
        if (text.isEmpty())
            return {};
        const QString t = text.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1"))
            return FieldValue::fromBoolean(true);
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0"))
            return FieldValue::fromBoolean(false);
        throw DatabaseError(
            QStringLiteral("'%1' is not a valid boolean value for field '%2'").arg(text, def.name));
    }
    }
    return {};
}

bool inRange(qint64 n, FieldType type)
{
    switch (type) {
    case FieldType::SmallInt:
        return n >= -32768 && n <= 32767;
    case FieldType::Word:
        return n >= 0 && n <= 65535;
    default:
        return n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max();
    }
}

FieldValue normalizeDouble(double d, FieldType type)
{
    if (type == FieldType::Date)
        d = std::trunc(d);
    else if (isFixedPoint(type) && std::isfinite(d) && std::fabs(d) < 9e14)
        d = std::round(d * 10000.0) / 10000.0;
    return FieldValue::fromDouble(d);
}

FieldValue convert(const FieldValue& v, FieldType from, const FieldDef& to)
{
    if (v.isNull())
        return {};
    const ValueStorage target = storageOf(to.type);
    if (storageOf(from) == target) {
        if (target == ValueStorage::Double)
            return normalizeDouble(v.number(), to.type);
        if (target == ValueStorage::Text && to.type == FieldType::String && to.size > 0
            && v.text().size() > to.size)
            return FieldValue::fromText(v.text().left(to.size));
        if (target == ValueStorage::Integer && !inRange(v.integer(), to.type))
            throw DatabaseError(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                                    .arg(QString::number(v.integer()), to.name));
        return v;
    }
    switch (target) {
    case ValueStorage::Text:
        return fromTextValue(toText(v, from), to);
    case ValueStorage::Integer: {
        const qint64 n = toInteger(v, from);
        if (!inRange(n, to.type))
            throw DatabaseError(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                                    .arg(QString::number(n), to.name));
        return FieldValue::fromInteger(n);
    }
    case ValueStorage::Double:
        return normalizeDouble(isDateType(to.type) ? toDateTime(v, from) : toDouble(v, from), to.type);
    case ValueStorage::Boolean:
        if (storageOf(from) == ValueStorage::Text)
            return fromTextValue(v.text(), to);
        return FieldValue::fromBoolean(toInteger(v, from) != 0);
    }
    return {};
}

FieldType typeOfStorage(ValueStorage storage)
{
    switch (storage) {
    case ValueStorage::Text:
        return FieldType::String;
    case ValueStorage::Integer:
        return FieldType::Integer;
    case ValueStorage::Double:
        return FieldType::Float;
    case ValueStorage::Boolean:
        return FieldType::Boolean;
    }
    return FieldType::String;
}

QString displayText(const FieldValue& v, const FieldDef& def)
{
    if (v.isNull())
        return {};
    const QString& format = def.displayFormat;
    const ValueStorage s = storageOf(def.type);
    if (format.isEmpty() || (s != ValueStorage::Double && s != ValueStorage::Integer) || isDateType(def.type))
        return toText(v, def.type);
    // Numeric formats of the "#,##0.00" family: decimals after the point, grouping with a comma.
    const int point = format.indexOf(u'.');
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < format.size() && (format[i] == u'0' || format[i] == u'#'); ++i)
            ++decimals;
    const bool grouping = format.left(point < 0 ? format.size() : point).contains(u',');
    QString text = SystemFormats::formatFixed(toDouble(v, def.type), decimals);
    if (grouping) {
        const QChar sep = SystemFormats::current().thousandSeparator;
        int end = text.indexOf(SystemFormats::decimalSeparator());
        if (end < 0)
            end = text.size();
        const int begin = text.startsWith(u'-') ? 1 : 0;
        for (int i = end - 3; i > begin; i -= 3)
            text.insert(i, sep);
    }
    return text;
}

}

// --- Field -------------------------------------------------------------------------------------

bool Field::IsNull() const
{
    return Value().isNull();
}
FieldValue Field::Value() const
{
    return m_table->currentValue(m_index);
}
QString Field::AsString() const
{
    return conv::toText(Value(), m_def.type);
}
qint64 Field::AsInteger() const
{
    return conv::toInteger(Value(), m_def.type);
}
double Field::AsFloat() const
{
    return conv::toDouble(Value(), m_def.type);
}
double Field::AsDateTime() const
{
    return conv::toDateTime(Value(), m_def.type);
}
bool Field::AsBoolean() const
{
    const FieldValue& v = Value();
    if (storageOf(m_def.type) == ValueStorage::Text)
        return v.text().trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    return conv::toInteger(v, m_def.type) != 0;
}
QString Field::DisplayText() const
{
    return conv::displayText(Value(), m_def);
}

void Field::SetAsString(const QString& text)
{
    m_table->writeValue(m_index, conv::fromTextValue(text, m_def));
}
void Field::SetAsText(QStringView text)
{
    m_table->writeText(m_index, text);
}
void Field::SetAsInteger(qint64 value)
{
    m_table->writeValue(m_index, conv::convert(FieldValue::fromInteger(value), FieldType::Integer, m_def));
}
void Field::SetAsFloat(double value)
{
    m_table->writeValue(m_index, conv::convert(FieldValue::fromDouble(value), FieldType::Float, m_def));
}
void Field::SetAsDateTime(double value)
{
    const FieldType from
        = storageOf(m_def.type) == ValueStorage::Text ? FieldType::DateTime : FieldType::Float;
    m_table->writeValue(m_index, conv::convert(FieldValue::fromDouble(value), from, m_def));
}
void Field::SetAsBoolean(bool value)
{
    m_table->writeValue(m_index, conv::convert(FieldValue::fromBoolean(value), FieldType::Boolean, m_def));
}
void Field::SetValue(const FieldValue& value)
{
    if (value.isNull() || value.storage() == storageOf(m_def.type)) {
        m_table->writeValue(m_index, conv::convert(value, m_def.type, m_def));
        return;
    }
    if (value.storage() == ValueStorage::Text) {
        SetAsString(value.text());
        return;
    }
    m_table->writeValue(m_index, conv::convert(value, conv::typeOfStorage(value.storage()), m_def));
}
void Field::Clear()
{
    m_table->writeValue(m_index, FieldValue());
}

}
