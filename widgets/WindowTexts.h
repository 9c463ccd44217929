#pragma once

#include <QString>
#include <initializer_list>
#include <string>

class QWidget;

// The windows' texts, from the tables of the language chosen at start-up.
namespace WindowTexts {

// A text as a window shows it: UTF-8, with the tables' "\r\n" line ends as plain line breaks.
QString Shown(const std::string& text);
// A string of the table.
QString String(int stringId);
// A string of the table with its "%s"/"%d" fields filled in order.
QString Formatted(int stringId, std::initializer_list<std::string> args);
// The title and control captions of a dialog template. Every child widget that carries the
// dynamic property "controlId" takes the template's text for that control.
void Apply(QWidget* dialog, int dialogId);

}  // namespace WindowTexts
