#pragma once
// Geometry of the compact service dialogs. The forms under resources/ give
// every size and position in dialog units, as the dialogs were designed:
// one horizontal unit is a quarter of the dialog font's average character
// width, one vertical unit an eighth of its character height. These helpers
// turn a loaded form into pixels for the font in use and find its controls
// by their numeric identifiers (the dynamic property "controlId").
//
// Threading: user-interface thread only.

#include <QFont>
#include <QRect>

class QWidget;

namespace tavlink::app {

struct DialogUnits {
  int charWidth = 0;   // average character width in pixels
  int charHeight = 0;  // character height in pixels

  QRect ToPixels(const QRect& units) const;
};

// The dialog font: the application's font at 8 points.
QFont DialogFont();

// The units of `font`: the average width of the 52 letters, rounded as the
// dialog templates assume, and the line height.
DialogUnits UnitsOf(const QFont& font);

// Gives `form` the dialog font, fixes its size and moves and sizes each
// of its direct children from dialog units to pixels. Call once, right
// after the form has been set up.
void ApplyDialogUnits(QWidget* form);

// The control of `root` (or `root` itself) whose "controlId" is `id`;
// nullptr when there is none.
QWidget* FindControl(QWidget* root, int id);

}  // namespace tavlink::app
