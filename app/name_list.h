// The list of nearest named colours (lstResults). Windows only.
#pragma once

// Fills the list view `list` (a control number) with the source row and the 33
// nearest names of `color`, each with a 16 x 16 colour icon and the colour as
// its item data. With `setUpColumns`, first sizes the list (SizeNameList).
// Unless forced, a colour equal to the last listed one leaves the rows, the
// selection and the scroll alone.
void RefreshNameList(int color, int list, bool force, bool setUpColumns);

// Gives the list its columns "Name", "Color" and "Diff" sized from its width,
// and its icons their size, at the current scale; the rows, the selection
// and the scroll stay.
void SizeNameList(int list);

// The colour stored with the selected row, or -1 when no row is selected.
int SelectedNameListColor(int list);
