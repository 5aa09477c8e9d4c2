// Whether anyone is there to answer a window: shared by the installer and
// the uninstaller it carries.
#pragma once

// Whether someone may answer a window or a box: the process's window
// station is the interactive one. Not so for a service or a deployment tool
// running as SYSTEM in session 0, where a box would wait for nobody.
bool SomeoneCanAnswer();
