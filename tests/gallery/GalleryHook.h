#pragma once
// The gallery's place for the button bar: the widget library fills the area
// with a bar of buttons in every style and preset, some hot, some pressed.

#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

void AddGalleryButtons(TForm& form, TPanel& area);
