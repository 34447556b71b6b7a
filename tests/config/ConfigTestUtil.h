#pragma once

#include "base/AtomicFile.h"
#include "base/Cp1252.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace contivo::testutil {

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}
