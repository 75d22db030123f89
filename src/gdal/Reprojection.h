// Coordinate reference systems named by EPSG code, and which transformation PROJ uses between two
// of them: what a user is told when the outputs transform coordinates (TLayerOptions::TargetEpsg).
#pragma once

#include <string>
#include <string_view>

#include "shapes/UniSFMapUtil.h"

namespace tolvane::gdal {

/// The code of "EPSG:n" (the letters in any case, blanks around). Raises TDataError for any other
/// text and for a code that GDAL does not know.
int ParseEpsg(std::string_view text);

/// A coordinate operation as PROJ states it.
struct TTransformation
{
    std::string Name;        ///< e.g. "Tokyo to JGD2000 (1)"
    std::string Id;          ///< e.g. "EPSG:15483"; empty when it has none
    double Accuracy = -1.0;  ///< metres, as stated; negative when not stated
    shapes::TSFPoint Result; ///< where it takes the point it was chosen for (X east, Y north)
};

/// The operation that PROJ, and so GDAL's OGRCoordinateTransformation, uses to take `at`
/// (longitude and latitude in EPSG:sourceEpsg) to EPSG:targetEpsg: of the operations whose grid
/// files are at hand, the first that PROJ's order offers for the point's area. Raises TDataError
/// for an unknown code and TAppError when there is no operation.
TTransformation DescribeTransformation(int sourceEpsg, int targetEpsg, const shapes::TSFPoint& at);

/// One line for the user: "Transformation: Tokyo to JGD2000 (1) (EPSG:15483), accuracy 9 m
/// (EPSG:4301 to EPSG:4612)", in the language of the messages.
std::string TransformationText(const TTransformation& transformation, int sourceEpsg,
                               int targetEpsg);

} // namespace tolvane::gdal
