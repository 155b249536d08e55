#pragma once

// Switches every dialog seam (message boxes, question box, file and folder pickers, text prompt,
// shell open) to its test mode, with empty queues and records: nothing is shown or opened, and
// every dialog answers as cancelled unless an answer was queued.
void SwitchDialogsToTestMode();
