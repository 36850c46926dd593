#pragma once
// Small window helpers shared by the main window and the dialogs.
#include <QString>
#include <string_view>

#include "base/Startzustand.h"

class QWidget;

namespace zanit {

// The whole primary screen.
Fensterrechteck BildschirmRechteck();
// A widget's frame rectangle on the screen.
Fensterrechteck Rechteck(const QWidget* window);

// Multi-language mode colour of the dialogs and their simple controls; drawn edges lose their outer line.
void FaerbeDialog(QWidget* form);

// The cancel caption of the painted button boxes in one of the seven button languages.
QString AbbrechenText(int language);

// A catalogue text (number, German default as UTF-8) as Unicode, optionally with the product word as A1.
QString KText(int number, std::string_view deutsch);
QString KTextZanit(int number, std::string_view deutsch);

}  // namespace zanit
