#include "ui/HelpTexts.h"

namespace {

struct THelpKeyOfButton {
    const char* button;
    const char* helpKey;
};

const THelpKeyOfButton ButtonHelpKeys[] = {
    {"BitBtn9", "ButtonChangeSyringe"},
    {"BitBtn10", "ButtonPrimePump"},
    {"BitBtn6", "ButtonApplyConfiguration"},
    {"BitBtn3", "ButtonSegmentType"},
    {"BitBtn11", "ButtonDeviceInitialize"},
    {"BitBtn1", "ButtonSegmentProgramStart"},
    {"BitBtn2", "ButtonSegmentProgramStop"},
    {"BitBtn7", "ButtonApplyFlow"},
    {"BitBtn8", "ButtonDirectControlStop"},
};

struct THelpEntry {
    const char* helpKey;
    const char* text;
};

// Looked up in this order, the first match wins.
const THelpEntry HelpEntries[] = {
    {"ButtonChangeSyringe",
     "Moves the pump syringe to the bottom position. Intended for changing the syringe. <BC:#FF0000>This stops any changes to any devices while being performed.</BC>"},
    {"ButtonPrimePump",
     "Starts x loops of <B>Fill the syringe, then dispenses it</B>. See Nivra backside for fluid. Repeat until all gas is removed from system, or old fluid is replaced with new one. <BC:#FF0000>This makes software unresponsive until done, by design.</BC>"},
    {"DzHTMLTextTips",
     "Short information sniplets on things the mouse pointer is over will be shown here. <B>Drag the bottom splitter</B> to re-arrange form size proportions, to ain more arrea to show this help and the log below."},
    {"RtGraph2DMain",
     "<B>Drag</B> on graph to zoom. <B>Click</B> outside axes to unzoom. <B>Drag the splitter</B> below to re-arrange form size proportions, to enlarge the graph"},
    {"MemoMain",
     "Log and feedback of software use."},
    {"ButtonApplyConfiguration",
     "Checks the selected configuration, and if acceptable, applies the setting to the selected device, <BC:#FFFF00>making the device usable in other tabs.</BC> Do note the first time configuration is applied (part of which is a factory reset)  allows a <BC:#FF0000> small amount of gas to flow for about a second.</BC>"},
    {"LabelColor",
     "Select unique color for this device. Supports also <B>transparent colors</B>. More info available on mouseover popups on the color-picker component."},
    {"LabelFluid",
     "For MFCs, special, custom and dynamic gases are at the bottom of the list. For MFCs and Pump, custom fluids can be edited in the custom fluids tab. <B>Type in</B> to find items quicker."},
    {"ButtonSegmentType",
     "Segment type <b>step</b> changes the flow value immediately, <b>ramp</b> changes the flow value as linear ramp from previous to current segment. <b>Ramp</b> on first segment assumes previous flow to be 0."},
    {"ButtonDeviceInitialize",
     "<b>Initialize</b> does an extensive factory reset and initialization sequence on the selected device, to ensure the device configuration is compatible with the software. It is normally not necessary for the end user to perform this action. Initialize will take a while, and the user interface will be unresponsive. <BC:#FFFF00>Be aware the process will also allow some gas flow.</bc>"},
    {"ButtonSegmentProgramStart",
     "<BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC>"},
    {"ButtonSegmentProgramStop",
     "<BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC> <B>Applies setpoint zero</B>, and makes the device go to idle mode."},
    {"ButtonApplyFlow",
     "Clicking apply will immediately change device flow to desired flow, <BC:#FFFF00>and stop execution of segment program if this device has one running.</BC> <BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC>"},
    {"ButtonDirectControlStop",
     "<B>Applies setpoint zero</B>, and makes the device go to idle mode. <BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC> "},
    {"ButtonMixSegmentsAdd",
     "Add mixture as defined to all involved devices. This will <BC:#FFFF00>overwrite</BC> any possibly existing segment at that time."},
    {"EditFlowUnitName",
     "Enter name for the flow unit: ml/min and ccm are interchangeable. Use of <B>N</B>ormalized or <B>S</B>tandard in the unit name is discouraged as their meaning is disambiguous. Instead rely on the reference conditions or use <B>g/min</B>."},
    {"EditNoteMixture",
     "A note to be added to all device segments at this time. Accepts only <B>alphanumeric</B>, <B>%</B>, <B>*</B>, <B>@</B>, <B>/</B> or <B>space</B>. Other characters will be <BC:#FFFF00>ignored</BC>. If other characters are needed, ask."},
    {"ListViewSegmentProgram",
     "Right mouse click to load or save segment program to a (text) file, for the selected device."},
    {"ListViewDevices",
     "List of available devices. Many actions can be applied to multiple devices at once. To select multiple devices use <B>ctrl</B> or <B>shift</B> with <B>left mouse</B> click. For actions affecting only one device, the the last item selected has focus. Selected items are marked with hollow diamond. Focused row is marked with solid diamond."},
    {"MixDesignGroupBox",
     "Set the time for mixture designer. Changing time will retrieve flows at specified time in segment program. Trackbar reacts to <B>arrow keys</B> and <B>mouse wheel</B> for small changes, and <B>page up/down</B> for large changes. Overall changes the time value between 0 and the largest value in the segment program. Exact step for mouse wheel is determined by Windows settings."},
    {"RtDoubleEditDeviationBand",
     "How far the achieved flow may stray from the programmed flow, in % of full scale, before the <B>deviation alarm</B> counts it. The alarm ends once the flow has stayed within 80 % of this band for the hold time."},
    {"RtDoubleEditDeviationHold",
     "How long the flow must stay outside the band before the <B>deviation alarm</B> lights (a red lamp in the status bar, the device's row marked in red), and back inside before it clears. After each step of the setpoint the check first waits this long."},
    {"RtDoubleEditDesignMixTime",
     "Manually entering the time gives more precission, allowing fractions, and specifying times after the last segment."},
};

} // namespace

QString HelpKey(const QString& controlName)
{
    for (const THelpKeyOfButton& entry : ButtonHelpKeys) {
        if (controlName == QLatin1String(entry.button))
            return QString::fromLatin1(entry.helpKey);
    }
    return controlName;
}

QString HelpText(const QString& helpKey)
{
    for (const THelpEntry& entry : HelpEntries) {
        if (helpKey == QLatin1String(entry.helpKey))
            return QString::fromUtf8(entry.text);
    }
    if (helpKey == QLatin1String("ScrollBoxFlow"))
        return QStringLiteral("Set the flow for this device. Trackbar reacts to mouse wheel and changes the time value "
                              "between 0 and the largest flow possible with the device.");
    if (helpKey.contains(QLatin1String("DoubleEditDynamic_")))
        return QStringLiteral("Manually entering the flow gives more precission, allowing fractions.");
    return QStringLiteral("Hover mouse over items (or adjacent labels) to see help, tips and information.");
}

QString FluidListHelpText()
{
    return QStringLiteral(
        "All<SUB>1</SUB> gases and fluids available for this device are listed in this control. Listed items have tab-structure with following details:<BR>"
        "<div:thick_top=1,thick_left=1,thick_bottom=1,lncolor=#000000, margin=2, pad_top=2><B>Shortname</B><BR>"
        "<LINE:width=250><BR>"
        "First 9 characters long \"shortname\".<BR>"
        "Typed-in characters search entries based on this.<BR>"
        "</div><div:thick_top=1,thick_left=1,thick_bottom=1,lncolor=#000000, margin=2, pad_top=2><B>Formula</B><BR>"
        "<LINE:width=200><BR>"
        "First 9 characters of formula<BR>"
        "<BR>"
        "</div><div:thick=1,lncolor=#000000, margin=2, pad_top=2><B>Longname</B> (or recipe)<BR>"
        "<LINE:width=200><BR>"
        "Full name or when lacking,<BR>"
        "the composition in partial pressure.<BR>"
        "Info on isomerism when relevant.</div><BR>"
        "<BR>"
        "<BC:#FFFF00>Beware!</BC> The software has no way of knowing if the selection made in software corresponds to what is connected in physical world. Check connections.<BR>"
        "<BC:#FFFF00>Beware!</BC> Configuring will allow small amount of gas to flow.<BR>"
        "1) Do note corrosive etc. gases are not shown for incompatible devices, liquids for MFC, or gases for pump. Should you need gas for syringe pump, take contact.");
}

QString FlowUnitListHelpText()
{
    return QStringLiteral(
        "Gas flow can be measured by mass or by volume. Same amount of gas will be a different volume "
        "depending on both the temperature and the pressure. There are many definitions and standards trying "
        "to pin down the \"right\" reference conditions, often denoted by N- or S- prefix before the "
        "volumetric unit. These reference conditions vary depending of issuer, industry, region, instrument "
        "manufacturer, and even with time (when the authors redefine). With volumetric measurements, the "
        "dissonance between the definition of NTP or STP, as well as the dynamic nature of actual condition "
        "are recurring sources of error. <BR><LINE:width=full><BR>This software allows flows in: "
        "<BC:#00FF00>g/min</BC>, which is always the same regardless of conditions, as well as any reference "
        "condition for volumetric units. The volumetric flow is in <BC:#00FF00>ml/m</BC> (milliliters per "
        "minute) or in <BC:#00FF00>ccm</BC> (cubic centimeter per minute) as these units are interchangeable. "
        "The unit name and the reference conditions can be pre-defined from the drop-down menu, or entered by "
        "hand. Software does not provide definitions for accronyms NTP or STP but users are free to use them "
        "as befits their needs, as well as any custom reference conditions such as in laboratories at higher "
        "altitudes and lower ambient pressures.");
}

QString ToolsPageText()
{
    return QStringLiteral("These tools apply only to one device at a time. <BR><BR>"
                          "Furthermore, using these will make the device and the software <B>unresponsive</B> until "
                          "the commanded task finishes, so these tools are not to be used under normal situations "
                          "i.e. when segment programs are performing.<BR><BR>"
                          "Instead, use only in a dedicated situation, for setup, maintenance, configuration, "
                          "debugging or testing.");
}
