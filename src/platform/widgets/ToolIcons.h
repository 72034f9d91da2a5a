#pragma once

#include <QIcon>

// The pictures of the record toolbars, drawn so that they look the same on every machine.
namespace ToolIcons {

enum class Glyph { Insert, Search, Cancel, Delete, Save, First, Prior, Next, Last };

QIcon icon(Glyph g, int size = 24);

} // namespace ToolIcons
