#pragma once
// The main window's controls at the places of its template (498 x 289 dialog units, drawn
// at 1.5 x 1.625 pixels per unit), each carrying its identifier as objectName. The window
// is 60 pixels taller than the template: the lists and trees take the room, and the raw
// recovery panel lays its kinds out in one column above a report as wide as the panel.

#include <QRect>
#include <QSize>
#include <QString>
#include <map>
#include <vector>

class QWidget;

namespace vantrel::qt {

// A List is a table of rows and columns; a CheckList a column of check boxes.
enum class ControlKind {
  Button, IconButton, Picture, Text, Group, Radio, ModeRadio, Check, List, CheckList, Progress, Edit, Combo, Tree
};

struct TemplateControl {
  int id;
  ControlKind kind;
  const char* text;
  QRect rect;  // pixels in the client area
  int frame = 0;  // the group that frames it: hidden with it
};

// The client area's size in pixels.
QSize ClientSize();

const std::vector<TemplateControl>& TemplateControls();

// The tree widgets stand in the control table under the pseudo-ids of the three trees.
std::map<int, QWidget*> CreateControls(QWidget* parent);

}  // namespace vantrel::qt
