#pragma once

#include <QString>

// The texts of the help panel, in its mark-up (see TDzHTMLText).

// The key a control's help is filed under: its name, except for the push
// buttons, whose generated names say nothing about what they do.
QString HelpKey(const QString& controlName);
// The text for a help key; the default text when there is none.
QString HelpText(const QString& helpKey);

// Drop-down lists report no pointer movement; these are shown when the
// pointer enters them.
QString FluidListHelpText();
QString FlowUnitListHelpText();

// The fixed text beside the Tools page's buttons.
QString ToolsPageText();
