#include "storage/TableJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <limits>

namespace contivo {
namespace {

void appendString(QByteArray& out, const QString& text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendDouble(QByteArray& out, double v)
{
    if (std::isnan(v)) {
        out += "\"NaN\"";
    } else if (std::isinf(v)) {
        out += v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    } else if (v == 0 && std::signbit(v)) {
        out += "\"-0\""; // JSON readers give the number -0 back as 0
    } else {
        out += QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
    }
}

void appendValue(QByteArray& out, const FieldValue& v, FieldType type)
{
    if (v.isNull()) {
        out += "null";
        return;
    }
    switch (storageOf(type)) {
    case ValueStorage::Text:
        appendString(out, v.text());
        break;
    case ValueStorage::Integer:
        out += QByteArray::number(v.integer());
        break;
    case ValueStorage::Double:
        appendDouble(out, v.number());
        break;
    case ValueStorage::Boolean:
        out += v.boolean() ? "true" : "false";
        break;
    }
}

const char* boolText(bool b)
{
    return b ? "true" : "false";
}

[[noreturn]] void bad(const QString& what)
{
    throw DatabaseError(QStringLiteral("Invalid table document: ") + what);
}

QJsonValue member(const QJsonObject& o, const char* key, QJsonValue::Type type, const QString& where)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.type() != type)
        bad(QStringLiteral("%1: \"%2\" missing or of the wrong type").arg(where, QLatin1String(key)));
    return v;
}

qint64 wholeNumber(const QJsonValue& v, const QString& where)
{
    const double d = v.toDouble();
    if (!v.isDouble() || d != std::floor(d) || std::fabs(d) > 2147483648.0)
        bad(where + QStringLiteral(": not a 32-bit integer"));
    return v.toInteger(static_cast<qint64>(d));
}

FieldValue valueFromJson(const QJsonValue& v, const FieldDef& f, const QString& where)
{
    if (v.isNull())
        return {};
    switch (storageOf(f.type)) {
    case ValueStorage::Text:
        if (!v.isString())
            bad(where + QStringLiteral(": a text is expected"));
        return FieldValue::fromText(v.toString());
    case ValueStorage::Integer:
        return FieldValue::fromInteger(wholeNumber(v, where));
    case ValueStorage::Boolean:
        if (!v.isBool())
            bad(where + QStringLiteral(": a boolean is expected"));
        return FieldValue::fromBoolean(v.toBool());
    case ValueStorage::Double:
        if (v.isString()) {
            const QString s = v.toString();
            if (s == QLatin1String("NaN"))
                return FieldValue::fromDouble(std::numeric_limits<double>::quiet_NaN());
            if (s == QLatin1String("Infinity"))
                return FieldValue::fromDouble(std::numeric_limits<double>::infinity());
            if (s == QLatin1String("-0"))
                return FieldValue::fromDouble(-0.0);
            if (s == QLatin1String("-Infinity"))
                return FieldValue::fromDouble(-std::numeric_limits<double>::infinity());
        }
        if (!v.isDouble())
            bad(where + QStringLiteral(": a number is expected"));
        return FieldValue::fromDouble(v.toDouble());
    }
    return {};
}

}

QByteArray tableContentToJson(const TableFileContent& content)
{
    QByteArray out;
    out.reserve(256 + static_cast<qsizetype>(content.rows.size()) * 64);
    out += "{\"version\": " + QByteArray::number(content.version) + ",\n\"fields\": [";
    for (size_t i = 0; i < content.fields.size(); ++i) {
        const FieldDef& f = content.fields[i];
        out += i ? ",\n  {" : "\n  {";
        out += "\"name\": ";
        appendString(out, f.name);
        out += ", \"type\": ";
        appendString(out, fieldTypeName(f.type));
        out += ", \"size\": " + QByteArray::number(f.size) + ", \"displayName\": ";
        appendString(out, f.displayLabel);
        out += ", \"displayWidth\": " + QByteArray::number(f.displayWidth);
        out += QByteArray(", \"required\": ") + boolText(f.required)
            + ", \"readOnly\": " + boolText(f.readOnly);
        out += ", \"kind\": ";
        appendString(out, fieldKindName(f.kind));
        if (!f.editMask.isEmpty()) {
            out += ", \"editMask\": ";
            appendString(out, f.editMask);
        }
        out += '}';
    }
    out += "],\n\"indexes\": [";
    for (size_t i = 0; i < content.indexes.size(); ++i) {
        const IndexDef& x = content.indexes[i];
        out += i ? ",\n  {" : "\n  {";
        out += "\"name\": ";
        appendString(out, x.name);
        out += ", \"fields\": ";
        appendString(out, x.fields);
        out += QByteArray(", \"descending\": ") + boolText(x.options.descending) + ", \"caseInsensitive\": "
            + boolText(x.options.caseInsensitive) + ", \"unique\": " + boolText(x.options.unique) + "}";
    }
    out += "],\n\"rows\": [";
    for (size_t r = 0; r < content.rows.size(); ++r) {
        out += r ? ",\n  [" : "\n  [";
        const auto& values = content.rows[r].values;
        for (size_t i = 0; i < values.size() && i < content.fields.size(); ++i) {
            if (i)
                out += ", ";
            appendValue(out, values[i], content.fields[i].type);
        }
        out += ']';
    }
    out += "]}\n";
    return out;
}

TableFileContent tableContentFromJson(const QByteArray& json)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        bad(error.errorString() + QStringLiteral(" at offset %1").arg(error.offset));
    if (!doc.isObject())
        bad(QStringLiteral("the document is not an object"));
    const QJsonObject root = doc.object();
    TableFileContent content;
    content.version
        = static_cast<int>(wholeNumber(member(root, "version", QJsonValue::Double, "document"), "version"));

    const QJsonArray fields = member(root, "fields", QJsonValue::Array, "document").toArray();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString where = QStringLiteral("field %1").arg(i);
        if (!fields[i].isObject())
            bad(where + QStringLiteral(": not an object"));
        const QJsonObject o = fields[i].toObject();
        FieldDef f;
        f.name = member(o, "name", QJsonValue::String, where).toString();
        const QString typeName = member(o, "type", QJsonValue::String, where).toString();
        FieldType type = FieldType::Unknown;
        if (!fieldTypeFromName(typeName, type) || type < FieldType::String || type > FieldType::TypedBinary)
            throw DatabaseError(QStringLiteral("Unknown field type (%1)").arg(typeName));
        f.type = type;
        f.size = static_cast<int>(wholeNumber(member(o, "size", QJsonValue::Double, where), where));
        f.displayLabel = member(o, "displayName", QJsonValue::String, where).toString();
        f.displayWidth
            = static_cast<int>(wholeNumber(member(o, "displayWidth", QJsonValue::Double, where), where));
        f.required = member(o, "required", QJsonValue::Bool, where).toBool();
        f.readOnly = member(o, "readOnly", QJsonValue::Bool, where).toBool();
        f.kind = fieldKindFromName(member(o, "kind", QJsonValue::String, where).toString());
        if (o.contains(QLatin1String("editMask")))
            f.editMask = member(o, "editMask", QJsonValue::String, where).toString();
        content.fields.push_back(std::move(f));
    }

    const QJsonArray indexes = member(root, "indexes", QJsonValue::Array, "document").toArray();
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        const QString where = QStringLiteral("index %1").arg(i);
        if (!indexes[i].isObject())
            bad(where + QStringLiteral(": not an object"));
        const QJsonObject o = indexes[i].toObject();
        IndexDef x;
        x.name = member(o, "name", QJsonValue::String, where).toString();
        x.fields = member(o, "fields", QJsonValue::String, where).toString();
        x.options.descending = member(o, "descending", QJsonValue::Bool, where).toBool();
        x.options.caseInsensitive = member(o, "caseInsensitive", QJsonValue::Bool, where).toBool();
        x.options.unique = member(o, "unique", QJsonValue::Bool, where).toBool();
        content.indexes.push_back(std::move(x));
    }

    const QJsonArray rows = member(root, "rows", QJsonValue::Array, "document").toArray();
    content.rows.reserve(static_cast<size_t>(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (!rows[r].isArray() || rows[r].toArray().size() != static_cast<qsizetype>(content.fields.size()))
            bad(QStringLiteral("row %1: one value per field is expected").arg(r));
        const QJsonArray values = rows[r].toArray();
        RowData row;
        row.values.reserve(content.fields.size());
        for (qsizetype i = 0; i < values.size(); ++i)
            row.values.push_back(valueFromJson(values[i], content.fields[static_cast<size_t>(i)],
                QStringLiteral("row %1 value %2").arg(r).arg(i)));
        content.rows.push_back(std::move(row));
    }
    return content;
}

}
