#include "ui/light_palette.h"

#include <QWidget>

QPalette LightPalette::Palette() {
  const QColor face(240, 240, 240);
  const QColor grey(160, 160, 160);
  QPalette palette;
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Window, face);
    palette.setColor(group, QPalette::WindowText, Qt::black);
    palette.setColor(group, QPalette::Base, Qt::white);
    palette.setColor(group, QPalette::AlternateBase, QColor(245, 245, 245));
    palette.setColor(group, QPalette::Text, Qt::black);
    palette.setColor(group, QPalette::PlaceholderText, QColor(120, 120, 120));
    palette.setColor(group, QPalette::Button, face);
    palette.setColor(group, QPalette::ButtonText, Qt::black);
    palette.setColor(group, QPalette::BrightText, Qt::white);
    palette.setColor(group, QPalette::ToolTipBase, InputColour());
    palette.setColor(group, QPalette::ToolTipText, Qt::black);
    palette.setColor(group, QPalette::Link, QColor(0, 0, 255));
    palette.setColor(group, QPalette::LinkVisited, QColor(128, 0, 128));
  }
  // The classic system selection: white on blue, kept when the window loses
  // the focus.
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Highlight, QColor(0, 120, 215));
    palette.setColor(group, QPalette::HighlightedText, Qt::white);
    palette.setColor(group, QPalette::Light, Qt::white);
    palette.setColor(group, QPalette::Midlight, QColor(227, 227, 227));
    palette.setColor(group, QPalette::Mid, grey);
    palette.setColor(group, QPalette::Dark, QColor(105, 105, 105));
    palette.setColor(group, QPalette::Shadow, QColor(64, 64, 64));
  }
  palette.setColor(QPalette::Disabled, QPalette::Window, face);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
  palette.setColor(QPalette::Disabled, QPalette::Base, face);
  palette.setColor(QPalette::Disabled, QPalette::AlternateBase, face);
  palette.setColor(QPalette::Disabled, QPalette::Text, grey);
  palette.setColor(QPalette::Disabled, QPalette::PlaceholderText, grey);
  palette.setColor(QPalette::Disabled, QPalette::Button, face);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
  palette.setColor(QPalette::Disabled, QPalette::BrightText, Qt::white);
  palette.setColor(QPalette::Disabled, QPalette::ToolTipBase, InputColour());
  palette.setColor(QPalette::Disabled, QPalette::ToolTipText, grey);
  palette.setColor(QPalette::Disabled, QPalette::Link, grey);
  palette.setColor(QPalette::Disabled, QPalette::LinkVisited, grey);
  palette.setColor(QPalette::Disabled, QPalette::HighlightedText, face);
  return palette;
}

void LightPalette::Apply(QWidget* widget) { widget->setPalette(Palette()); }

QColor LightPalette::InputColour() { return QColor(255, 255, 225); }
