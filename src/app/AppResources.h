// The program's images and its font.
#pragma once

#include <QFont>
#include <QIcon>
#include <QList>

namespace tolvane::app {

/// Images of ImageList1.
inline constexpr int kImageConverted = 0;
inline constexpr int kImageFailed = 1;
inline constexpr int kImageDataItem = 2;
inline constexpr int kImageCategory = 3;

/// ImageList1: 0 converted (green check), 1 failed (red cross), 2 data item (map layers),
/// 3 category (folder), each 16 x 16.
const QList<QIcon>& ImageList1();
/// The program's 32 x 32 icon.
QIcon ProgramIcon();

/// The Japanese Gothic at 12 pixels: "ＭＳ Ｐゴシック" where installed, else the closest
/// installed Japanese Gothic.
QFont JapaneseGothicFont();

} // namespace tolvane::app
