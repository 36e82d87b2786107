// The device context the dialog driver hands an owner-draw control: it
// records what is drawn into `shapes`. Made and deleted around one
// WM_DRAWITEM.
#pragma once
#include "device_context.h"

namespace mfcwin {

HDC NewRecordingDC(std::vector<DrawnShape>& shapes);
void DeleteRecordingDC(HDC dc);

} // namespace mfcwin
