#pragma once
// Small builders for controls that many screens share.
#include <QList>
#include <QStringList>
#include <QStyle>
#include <QToolButton>

class QComboBox;
class QLabel;
class QStatusBar;

namespace ui {

// A flat tool-bar button showing its hint as text beside a standard icon.
QToolButton *makeToolButton(QWidget *parent, const QString &name, const QString &hint, QStyle::StandardPixmap icon);

// An editable drop-down for a query criterion: it starts empty, and filling its list puts
// no criterion into it.
QComboBox *makeCriterionBox(QWidget *parent, const QString &name, const QStringList &items, int minimumWidth);

// A label carrying its name.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text);

// The screen's status bar "StatusBar1" with one label per panel ("StatusBar1Panel0", ...),
// of the given minimum widths; the last panel takes the room left.
QStatusBar *makeStatusBar(QWidget *parent, const QList<int> &panelWidths, QList<QLabel *> *panels = nullptr);

} // namespace ui
