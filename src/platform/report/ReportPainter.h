#pragma once

#include "platform/report/PageModel.h"

class QPainter;
class QPaintDevice;

namespace Report {

// Draws page `index` of the model with `painter`, the paper's top-left corner at the device's
// origin, scaled from 1/1200 inch to the device's resolution.
void paintPage(QPainter& painter, const PageModel& model, int index);

// Draws every page on a device that pages itself (a printer, a PDF writer), calling
// `newPage` between pages; or pages `from` to `to` only (counted from 1, as a print dialog
// gives them; 0 for either end: the first or the last page). False when the painter could not
// start on the device.
template <typename PagedDevice>
bool paintAll(PagedDevice& device, const PageModel& model, int from = 0, int to = 0);

} // namespace Report
