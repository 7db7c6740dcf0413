#pragma once
// The Print command: the dialog, then every line the note editor holds, as
// it holds them, through a printer text device.
#include "runtime/canvas.h"

namespace virevi {

class TMemoLines;
class TPrintDialog;
class TPrinter;

/// Prints the lines of `note` in `noteFont` on `printer`. The job is ended
/// on every way out; when ending it fails too, that failure is the one raised.
void PrintLines(TPrinter& printer, const TMemoLines& note, const TFont& noteFont);

/// Runs `dialog` and, unless it is cancelled, prints `note` (PrintLines).
void PrintNote(TPrintDialog& dialog, TPrinter& printer, const TMemoLines& note,
               const TFont& noteFont);

} // namespace virevi
