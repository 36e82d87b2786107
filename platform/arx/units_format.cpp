// Numbers and angles as text in the drawing's units, as the host's rtos and
// angtos write them.
#include "acdbads.h"
#include "adscodes.h"
#include "dbapserv.h"
#include "dbmain.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Units {
    int lunits = 2, luprec = 4, aunits = 0, auprec = 0, unitmode = 0, dimzin = 0;
};

Units CurrentUnits()
{
    Units u;
    if (AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase()) {
        u.lunits = db->lunits();
        u.luprec = db->luprec();
        u.aunits = db->aunits();
        u.auprec = db->auprec();
        u.unitmode = db->unitmode();
        u.dimzin = db->dimzin();
    }
    return u;
}

std::string Fixed(double value, int places)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    std::string text = buffer;
    if (text == "-0" || text.find_first_not_of("-0.") == std::string::npos)
        if (!text.empty() && text[0] == '-')
            text.erase(0, 1); // no negative zero
    return text;
}

// DIMZIN 8 drops trailing zeros of the decimals, 4 the zero before the point.
std::string ZeroSuppress(std::string text, int dimzin)
{
    if ((dimzin & 8) && text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    if (dimzin & 4) {
        std::size_t digits = text[0] == '-' ? 1 : 0;
        if (text.compare(digits, 2, "0.") == 0)
            text.erase(digits, 1);
    }
    return text;
}

std::string Scientific(double value, int prec, int dimzin)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*E", prec, value);
    std::string text = buffer;
    std::size_t e = text.find('E');
    std::string mantissa = ZeroSuppress(text.substr(0, e), dimzin & 8);
    return mantissa + text.substr(e);
}

// A whole number and a reduced fraction of 1 / 2^prec: {whole, numerator, denominator}.
void Fraction(double value, int prec, long long& whole, long long& numerator, long long& denominator)
{
    denominator = 1LL << prec;
    long long units = std::llround(value * static_cast<double>(denominator));
    whole = units / denominator;
    numerator = units % denominator;
    while (numerator != 0 && numerator % 2 == 0) {
        numerator /= 2;
        denominator /= 2;
    }
}

std::string FractionText(double value, int prec, int unitmode)
{
    long long whole = 0, num = 0, den = 1;
    Fraction(value, prec, whole, num, den);
    if (num == 0)
        return std::to_string(whole);
    std::string frac = std::to_string(num) + "/" + std::to_string(den);
    if (whole == 0)
        return frac;
    return std::to_string(whole) + (unitmode & 1 ? "-" : " ") + frac;
}

// Feet and inches (engineering: decimal inches; architectural: fractions).
std::string FeetInches(double value, int prec, bool architectural, int unitmode, int dimzin)
{
    bool negative = value < 0;
    double inchesTotal = std::fabs(value);
    long long feet = static_cast<long long>(inchesTotal / 12.0);
    double inches = inchesTotal - static_cast<double>(feet) * 12.0;
    std::string inchText;
    if (architectural) {
        long long whole = 0, num = 0, den = 1;
        Fraction(inches, prec, whole, num, den);
        if (whole >= 12) {
            ++feet;
            whole -= 12;
        }
        inchText = num == 0 ? std::to_string(whole)
                            : (whole == 0 ? "" : std::to_string(whole) + (unitmode & 1 ? "-" : " "))
                                  + std::to_string(num) + "/" + std::to_string(den);
        inches = static_cast<double>(whole) + static_cast<double>(num) / static_cast<double>(den);
    } else {
        inchText = Fixed(inches, prec);
        if (std::stod(inchText) >= 12.0) {
            ++feet;
            inchText = Fixed(0.0, prec);
        }
        inchText = ZeroSuppress(inchText, dimzin & 12);
        inches = std::stod(inchText.empty() ? "0" : inchText);
    }
    // DIMZIN 0: no zero feet, no zero inches; 1: both; 2: zero feet only; 3: zero inches only.
    int zeros = dimzin & 3;
    bool showFeet = feet != 0 || zeros == 1 || zeros == 2;
    bool showInches = inches != 0 || zeros == 1 || zeros == 3 || feet == 0;
    std::string text = negative ? "-" : "";
    if (showFeet)
        text += std::to_string(feet) + "'";
    if (showFeet && showInches)
        text += unitmode & 1 ? "" : "-";
    if (showInches)
        text += inchText + "\"";
    return text;
}

std::string Degrees(double degrees, int prec, int dimzin)
{
    return ZeroSuppress(Fixed(degrees, prec), dimzin);
}

// Degrees, minutes and seconds: precision 0 degrees, 1-2 minutes, 3-4
// seconds, more adds decimals to the seconds.
std::string Dms(double degrees, int prec)
{
    double scale = prec >= 5 ? std::pow(10.0, prec - 4) : 1.0;
    double unit = prec == 0 ? 1.0 : prec <= 2 ? 1.0 / 60.0 : 1.0 / 3600.0 / scale;
    double rounded = std::round(degrees / unit) * unit;
    long long d = static_cast<long long>(std::floor(rounded + 1e-12));
    double rest = (rounded - static_cast<double>(d)) * 60.0;
    std::string text = std::to_string(d) + "d";
    if (prec == 0)
        return text;
    long long m = static_cast<long long>(std::floor(rest + 1e-9));
    text += std::to_string(m) + "'";
    if (prec <= 2)
        return text;
    double seconds = (rest - static_cast<double>(m)) * 60.0;
    if (seconds < 0)
        seconds = 0;
    text += Fixed(seconds, prec >= 5 ? prec - 4 : 0) + "\"";
    return text;
}

// Bearings: N or S, the angle from there, E or W.
std::string Surveyor(double degrees, int prec, int unitmode)
{
    const char* sep = unitmode & 1 ? "" : " ";
    auto exact = [](double a, double b) { return std::fabs(a - b) < 1e-10; };
    if (exact(degrees, 0) || exact(degrees, 360))
        return "E";
    if (exact(degrees, 90))
        return "N";
    if (exact(degrees, 180))
        return "W";
    if (exact(degrees, 270))
        return "S";
    const char* ns;
    const char* ew;
    double bearing;
    if (degrees < 90) {
        ns = "N", ew = "E", bearing = 90 - degrees;
    } else if (degrees < 180) {
        ns = "N", ew = "W", bearing = degrees - 90;
    } else if (degrees < 270) {
        ns = "S", ew = "W", bearing = 270 - degrees;
    } else {
        ns = "S", ew = "E", bearing = degrees - 270;
    }
    return std::string(ns) + sep + Dms(bearing, prec) + sep + ew;
}

int Copy(const std::string& text, char* out)
{
    if (!out)
        return RTERROR;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return RTNORM;
}

} // namespace

int acdbRToS(ads_real value, int unit, int precision, char* text)
{
    Units u = CurrentUnits();
    if (unit == -1)
        unit = u.lunits;
    if (precision == -1)
        precision = u.luprec;
    if (unit < 1 || unit > 5 || precision < 0 || precision > 8 || !std::isfinite(value))
        return RTERROR;
    switch (unit) {
    case 1: return Copy(Scientific(value, precision, u.dimzin), text);
    case 2: return Copy(ZeroSuppress(Fixed(value, precision), u.dimzin), text);
    case 3: return Copy(FeetInches(value, precision, false, u.unitmode, u.dimzin), text);
    case 4: return Copy(FeetInches(value, precision, true, u.unitmode, u.dimzin), text);
    default: {
        std::string t = FractionText(std::fabs(value), precision, u.unitmode);
        return Copy((value < 0 && t != "0" ? "-" : "") + t, text);
    }
    }
}

int acdbAngToS(ads_real value, int unit, int precision, char* text)
{
    Units u = CurrentUnits();
    if (unit == -1)
        unit = u.aunits;
    if (precision == -1)
        precision = u.auprec;
    if (unit < 0 || unit > 4 || precision < 0 || precision > 8 || !std::isfinite(value))
        return RTERROR;
    double radians = std::fmod(value, 2 * M_PI);
    if (radians < 0)
        radians += 2 * M_PI;
    double degrees = radians * 180.0 / M_PI;
    switch (unit) {
    case 0: return Copy(Degrees(degrees, precision, u.dimzin), text);
    case 1: return Copy(Dms(degrees, precision), text);
    case 2: return Copy(ZeroSuppress(Fixed(radians * 200.0 / M_PI, precision), u.dimzin) + "g", text);
    case 3: return Copy(ZeroSuppress(Fixed(radians, precision), u.dimzin) + "r", text);
    default: return Copy(Surveyor(degrees, precision, u.unitmode), text);
    }
}
