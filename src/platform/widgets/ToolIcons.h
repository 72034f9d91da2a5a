#pragma once

#include <QIcon>

class QToolButton;
class QWidget;

// The pictures of the record toolbars, drawn so that they look the same on every machine.
namespace ToolIcons {

enum class Glyph { Insert, Search, Cancel, Delete, Save, First, Prior, Next, Last };

QIcon icon(Glyph g, int size = 24);

// A picture button of a record toolbar: the picture, the hint, no text, and no focus taken
// from the edit area. Its object name is `name`.
QToolButton* button(QWidget* parent, const char* name, const QString& hint, Glyph g);

} // namespace ToolIcons
