#pragma once

// Names the application "Vorpa": the title of the message boxes that carry none of their own.
void NameApplication();
