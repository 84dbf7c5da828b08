#pragma once
// Small builders for controls that many screens share.
#include <QStyle>
#include <QToolButton>

namespace ui {

// A flat tool-bar button showing its hint as text beside a standard icon.
QToolButton *makeToolButton(QWidget *parent, const QString &name, const QString &hint, QStyle::StandardPixmap icon);

} // namespace ui
