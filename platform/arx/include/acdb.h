// Stand-in for acdb.h: the database's enumerations.
#pragma once

namespace AcDb {
enum OpenMode { kNotOpenForRead = -1, kForRead = 0, kForWrite = 1, kForNotify = 2 };
} // namespace AcDb

namespace AcDb {
enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3, kTextMid = 4, kTextFit = 5 };
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
} // namespace AcDb
