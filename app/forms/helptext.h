// The help window's texts, one rich-text page per section number.
#pragma once

#include <QString>

namespace tessarin::forms {

// Section numbers 1, 2, 3, 4, 5, 7 and 8; an empty text for any other number.
QString helptext(int section);

}  // namespace tessarin::forms
