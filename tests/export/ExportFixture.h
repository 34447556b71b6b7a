#pragma once

// Shared set-up of the export tests: a private application folder whose Libs holds the chosen
// build of the spreadsheet library, and helpers to read back what was written.
#include "export/XlsBinding.h"
#include "platform/Folders.h"
#include "storage/RecordTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace contivo::testing {

class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(outDir.isValid());
        setApplicationFolderForTests(appDir.path());
    }
    void TearDown() override { setApplicationFolderForTests(QString()); }

    /// Places a library file as the application's spreadsheet library.
    void installLibrary(const QString& builtFile)
    {
        QDir().mkpath(appDir.filePath("Libs"));
        const QString target = appDir.filePath("Libs/" + XlsLibraryFileName());
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(builtFile, target)) << builtFile.toStdString();
    }

    QString out(const QString& name) const { return outDir.filePath(name); }

    QTemporaryDir appDir;
    QTemporaryDir outDir;
};

/// A field definition with the rest left at its defaults.
inline FieldDef fieldDef(const QString& name, FieldType type, int size = 0)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    return def;
}

/// Whether a library file is mapped into this process now.
inline bool libraryMapped(const QString& path)
{
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains(QFile::encodeName(QFileInfo(path).canonicalFilePath()));
}

}
