#pragma once

#include <QPixmap>
#include <QString>

namespace contivo {

/// A category icon in the two sizes of the category list.
struct CategoryIconPair {
    QPixmap small; ///< 16 by 16
    QPixmap large; ///< 32 by 32
    bool isNull() const { return small.isNull() || large.isNull(); }
};

/// Reads an icon file with Qt's image readers. For each size the image of exactly that size is
/// taken when the file holds one, otherwise the largest image scaled smoothly. A file that cannot
/// be read gives a null pair.
CategoryIconPair readCategoryIcon(const QString& path);

/// The default category icon shipped in the application's "pics" folder; when that file is
/// missing or unreadable an icon drawn in code of the same design is used, so the list never
/// shows blank images.
CategoryIconPair defaultCategoryIcon();

/// File name of the default icon inside "pics".
inline constexpr const char* kDefaultCategoryIconFile = "IconaCategoria.ico";

}
