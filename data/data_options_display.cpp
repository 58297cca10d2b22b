#include "data_options_display.h"

#include "record_fields_p.h"

namespace {

using C = RecordFields::Field<DataOptionsColumn>;
const C kColumnFields[] = {
    {"disable", &DataOptionsColumn::disable},
    {"code", &DataOptionsColumn::code},
    {"width", &DataOptionsColumn::width},
};

using F = RecordFields::Field<DataOptionsDisplay>;
const F kFields[] = {
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

void DataOptionsDisplay::clear() {
    RecordFields::clear(*this, kFields);
    columns.clear();
}

void DataOptionsDisplay::setup(const QDomElement &element) {
    RecordFields::setup(*this, element, kFields);
    RecordFields::setupList(columns, findElement(element, "columns"), "optionsColumn");
}

void DataOptionsDisplay::store(QDomElement element) const {
    RecordFields::store(*this, element, kFields);
    RecordFields::storeList(columns, makeElement(element, "columns"), "optionsColumn");
}

void DataOptionsDisplay::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::check(*this, element, errors, kFields);
    RecordFields::checkList(columns, findElement(element, "columns"), "optionsColumn",
                            "columns: expected %1, got %2", errors);
}

void DataOptionsDisplay::print(int indent) const {
    RecordFields::print(*this, indent, "DataOptionsDisplay", kFields);
    RecordFields::printList(columns, indent + 4);
}

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
