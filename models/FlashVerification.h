#pragma once

#include <memory>

#include <QString>

#include "link/TaskMessages.h"

// The firmware window's check of what a load left in the firmware memory: off unless the user
// asks for it, and possible only where the controller's firmware can read its memory back.

// The check box's text: the offer, or why a boot-mode load cannot be checked.
QString verifyOptionText(LoadMode mode);
// Whether a finished load goes on to the verification.
bool verifiesAfterLoad(bool asked, LoadMode mode);
// What the verification reads: the memory from its start, as far as the image goes, compared
// with the image.
Ask::FlashRange::Range verificationRange(const std::shared_ptr<const FirmwareImage>& image);
