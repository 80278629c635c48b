// The form as a screen reader sees it: one element per column instead of
// its 28 labels and pictures. Each column's name is the day in one phrase
// (the accessible name the refresh gives its day label, column_speech.h);
// the form's description is its status.
#ifndef SKYVANE_PANEL_SKYVANE_ACCESSIBLE_H_
#define SKYVANE_PANEL_SKYVANE_ACCESSIBLE_H_

#include <QAccessibleInterface>
#include <QString>

namespace skyvane {

// Installs, once per process, the factory that gives every form `Skyvane`
// the accessible interface described above. Safe to call again.
void InstallFormAccessibility();

// Tells assistive technology that the form's description and its columns'
// names may have changed.
void AnnounceFormChange(QObject* form);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SKYVANE_ACCESSIBLE_H_
