#include "data_options_display.h"

#include "record_fields_p.h"

namespace {

using C = RecordFields::Field<DataOptionsColumn>;
const C kColumnFields[] = {
    {"disable", &DataOptionsColumn::disable},
    {"code", &DataOptionsColumn::code},
    {"width", &DataOptionsColumn::width},
};

const RecordFields::Field<DataOptionsDisplay> kDataOptionsDisplayFields[] = {
    {"unreadBold", &DataOptionsDisplay::unreadBold},
    {"unreadColored", &DataOptionsDisplay::unreadColored},
    {"unreadColor", &DataOptionsDisplay::unreadColor},
    {"readDisplay", &DataOptionsDisplay::readDisplay},
    {"readColored", &DataOptionsDisplay::readColored},
    {"readColor", &DataOptionsDisplay::readColor},
    {"largeButtons", &DataOptionsDisplay::largeButtons},
    {"captionButtons", &DataOptionsDisplay::captionButtons},
};

} // namespace

// ---------------------------------------------------------------- column

DataOptionsColumn::DataOptionsColumn() {
    name = "DataOptionsColumn";
    clear();
}

DataOptionsColumn::DataOptionsColumn(const QDomElement &element) {
    name = "DataOptionsColumn";
    clear();
    setup(element);
}

DataOptionsColumn::DataOptionsColumn(bool disable, int code, int width)
    : disable(disable), code(code), width(width) {
    name = "DataOptionsColumn";
}

VL_RECORD_FROM_TABLE(DataOptionsColumn, kColumnFields)

// ---------------------------------------------------------------- display

DataOptionsDisplay::DataOptionsDisplay() {
    name = "DataOptionsDisplay";
    clear();
}

VL_RECORD_WITH_LIST_FROM_TABLE(DataOptionsDisplay, kDataOptionsDisplayFields, columns, "columns",
                               "optionsColumn")

void DataOptionsDisplay::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "Display");
    unreadBold = oldTrue(old, "IsBoldChecked");
    unreadColored = oldTrue(old, "IsUnreadEmailColourChecked");
    unreadColor = oldText(old, "UnreadEmailColour");
    readDisplay = oldTrue(old, "IsDisplayReadEMailChecked");
    readColored = oldTrue(old, "IsReadEmailChecked");
    readColor = oldText(old, "ReadEmailColour");
    largeButtons = oldTrue(old, "IsLargeButtonsChecked");
    captionButtons = oldTrue(old, "IsCaptionsChecked");
    if (old.isNull())
        return;
    const QDomNodeList settings = old.elementsByTagName(QStringLiteral("DCDSetting"));
    for (int i = 0; i < settings.count(); ++i) {
        const QDomElement e = settings.item(i).toElement();
        columns.append(DataOptionsColumn(oldText(e, "Enabled") == QLatin1String("false"), oldInt(e, "Code"),
                                         oldInt(e, "Width")));
    }
}
