// The names of every event the program sends: one vocabulary for all callers.
#pragma once

#define EVENT_INSTALLER_RUN "corvane.installer.run"
#define EVENT_INSTALLER_START "corvane.installer.start"
#define EVENT_INSTALLER_PAGE "corvane.installer.page"
#define EVENT_INSTALLER_CLICK "corvane.installer.click"
#define EVENT_INSTALLER_FAIL "corvane.installer.fail"
#define EVENT_INSTALLER_FINISH "corvane.installer.finish"
#define EVENT_INSTALLER_INSTALL "corvane.installer.install"
#define EVENT_INSTALLER_CLOSE "corvane.installer.close"
#define EVENT_UNINSTALLER_RUN "corvane.uninstaller.run"
#define EVENT_UNINSTALLER_PAGE "corvane.uninstaller.page"
#define EVENT_UNINSTALLER_CLICK "corvane.uninstaller.click"
#define EVENT_UNINSTALLER_START "corvane.uninstaller.start"
#define EVENT_UNINSTALLER_UNINSTALL "corvane.uninstaller.uninstall"
#define EVENT_UNINSTALLER_FINISH "corvane.uninstaller.finish"
#define EVENT_UNINSTALLER_CLOSE "corvane.uninstaller.close"
#define EVENT_UNINSTALLER_PREFIX "corvane.uninstaller."

// Close events overtake whatever is still waiting in the queue.
bool event_is_close(const char* name);
