// The big caption a page shows while its own widgets are still to come.
#pragma once

#include <QWidget>
#include <string>

namespace mirufo {

// Lays out the page with its caption centred in a large font.
void ShowPageCaption(QWidget& page, const std::string& caption);

} // namespace mirufo
