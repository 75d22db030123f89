// Decoding of KSJ mesh codes into cell rings and centre points.
#include "ksj/uniKsjUtils.h"

#include "base/uniFields.h"
#include "base/uniNumbers.h"

namespace tolvane::ksj {

using base::SubStr;
using shapes::TSFPoint;
using shapes::TSFPolygon;

namespace {

// Cell sizes in degrees, each the fraction itself as a double.
constexpr double kLon2 = 1.0 / 8;
constexpr double kLat2 = 1.0 / 12;
constexpr double kLon3 = 1.0 / 80;
constexpr double kLat3 = 1.0 / 120;
constexpr double kLonQuarter = 1.0 / 160;
constexpr double kLatQuarter = 1.0 / 240;
constexpr double kLonSub4 = 1.0 / 320;
constexpr double kLatSub4 = 1.0 / 480;
constexpr double kLonSub4Half = 1.0 / 640;
constexpr double kLatSub4Half = 1.0 / 960;
constexpr double kLonSub10 = 1.0 / 800;
constexpr double kLatSub10 = 1.0 / 1200;
constexpr double kLonSub10Half = 1.0 / 1600;
constexpr double kLatSub10Half = 1.0 / 2400;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One digit group of a mesh code. One or two plain digits (every real code) are read directly,
// which gives the same value as the general conversion; anything else goes through it.
double ReadDigitGroup(std::string_view text)
{
    if (text.size() == 1 && IsDigit(text[0])) {
        return text[0] - '0';
    }
    if (text.size() == 2 && IsDigit(text[0]) && IsDigit(text[1])) {
        return (text[0] - '0') * 10 + (text[1] - '0');
    }
    return base::StrToFloat(text);
}

// South-west corner of a second-level cell (third-level code empty) or a third-level cell.
struct TCorner
{
    double Lat = 0.0;
    double Lon = 0.0;
};

TCorner Mesh2Corner(std::string_view code1, std::string_view code2)
{
    const double p = ReadDigitGroup(SubStr(code1, 1, 2, false));
    const double u = ReadDigitGroup(SubStr(code1, 3, 2, false));
    const double q = ReadDigitGroup(SubStr(code2, 1, 1, false));
    const double v = ReadDigitGroup(SubStr(code2, 2, 1, false));
    const double y1 = p / 3 * 2;
    const double x1 = u + 100;
    const double y2 = q * kLat2;
    const double x2 = v * kLon2;
    return {y1 + y2, x1 + x2};
}

TCorner Mesh3Corner(std::string_view code1, std::string_view code2, std::string_view code3)
{
    const double p = ReadDigitGroup(SubStr(code1, 1, 2, false));
    const double u = ReadDigitGroup(SubStr(code1, 3, 2, false));
    const double q = ReadDigitGroup(SubStr(code2, 1, 1, false));
    const double v = ReadDigitGroup(SubStr(code2, 2, 1, false));
    const double r = ReadDigitGroup(SubStr(code3, 1, 1, false));
    const double w = ReadDigitGroup(SubStr(code3, 2, 1, false));
    const double y1 = p / 3 * 2;
    const double x1 = u + 100;
    const double y2 = q * kLat2;
    const double x2 = v * kLon2;
    const double y3 = r * kLat3;
    const double x3 = w * kLon3;
    return {y1 + y2 + y3, x1 + x2 + x3};
}

// Replaces the shape by the closed ring a, b, c, d, a. Warm records are refilled in place.
void SetRing(TSFPolygon& shape, TSFPoint a, TSFPoint b, TSFPoint c, TSFPoint d)
{
    shape.NumParts = 1;
    shape.Parts.assign(1, 0);
    shape.Points.resize(5);
    shape.Points[0] = a;
    shape.Points[1] = b;
    shape.Points[2] = c;
    shape.Points[3] = d;
    shape.Points[4] = a;
    shape.NumPoints = 5;
    shapes::CalcBounds(shape);
}

} // namespace

void Mesh2ToPolygon(std::string_view code1, std::string_view code2, TSFPolygon& shape)
{
    const TCorner sw = Mesh2Corner(code1, code2);
    const double x = sw.Lon;
    const double y = sw.Lat;
    SetRing(shape, {x, y}, {x + kLon2, y}, {x + kLon2, y + kLat2}, {x, y + kLat2});
}

void Mesh3ToPolygon(std::string_view code1, std::string_view code2, std::string_view code3,
                    TSFPolygon& shape)
{
    const TCorner sw = Mesh3Corner(code1, code2, code3);
    const double x = sw.Lon;
    const double y = sw.Lat;
    SetRing(shape, {x, y}, {x + kLon3, y}, {x + kLon3, y + kLat3}, {x, y + kLat3});
}

void Mesh3Origin(std::string_view code1, std::string_view code2, std::string_view code3,
                 double& lat, double& lon)
{
    const TCorner sw = Mesh3Corner(code1, code2, code3);
    lat = sw.Lat;
    lon = sw.Lon;
}

void Mesh4ToPolygon(std::int32_t quarter, TSFPolygon& shape, double lat, double lon)
{
    double x0 = lon;
    double y0 = lat;
    switch (quarter) {
    case 2:
        x0 = lon + kLonQuarter;
        break;
    case 3:
        y0 = lat + kLatQuarter;
        break;
    case 4:
        x0 = lon + kLonQuarter;
        y0 = lat + kLatQuarter;
        break;
    default:
        break;
    }
    SetRing(shape, {x0, y0}, {x0, y0 + kLatQuarter}, {x0 + kLonQuarter, y0 + kLatQuarter},
            {x0 + kLonQuarter, y0});
}

void Mesh3Sub10ToPolygon(std::int32_t column, std::int32_t row, TSFPolygon& shape, double lat,
                         double lon)
{
    const double x0 = lon + column * kLonSub10;
    const double y0 = lat + row * kLatSub10;
    SetRing(shape, {x0, y0}, {x0 + kLonSub10, y0}, {x0 + kLonSub10, y0 + kLatSub10},
            {x0, y0 + kLatSub10});
}

void Mesh3Sub10Center(std::int32_t column, std::int32_t row, TSFPoint& point, double lat,
                      double lon)
{
    point.X = (lon + column * kLonSub10) + kLonSub10Half;
    point.Y = (lat + row * kLatSub10) + kLatSub10Half;
}

void Mesh3Sub4ToPolygon(std::int32_t column, std::int32_t row, TSFPolygon& shape, double lat,
                        double lon)
{
    const double x0 = lon + column * kLonSub4;
    const double y0 = (lat - row * kLatSub4) + kLat3;
    SetRing(shape, {x0, y0}, {x0, y0 - kLatSub4}, {x0 + kLonSub4, y0 - kLatSub4},
            {x0 + kLonSub4, y0});
}

void Mesh3Sub4Center(std::int32_t column, std::int32_t row, TSFPoint& point, double lat, double lon)
{
    point.X = (lon + column * kLonSub4) + kLonSub4Half;
    point.Y = ((lat - row * kLatSub4) + kLat3) - kLatSub4Half;
}

} // namespace tolvane::ksj
