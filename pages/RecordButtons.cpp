// The records page's button bar.
#include "pages/RecordButtons.h"

void RecordButtons::ShowSearchControls(bool) {}
void RecordButtons::ShowFrozenControls(bool) {}
void RecordButtons::OnFrozenColumnsChange() {}
