#include "codes/CodeTables.h"

#include "db/Globals.h"

#include <array>

namespace {

CodeTableInfo Row(int number, const char16_t* menu, const char16_t* table, const char16_t* key, const char16_t* desc,
                  const char16_t* load, const char16_t* caption, const char16_t* label, const char16_t* findWord,
                  const char16_t* question, const char16_t* title, const char16_t* inUse, int help)
{
    CodeTableInfo info;
    info.number = number;
    info.menuCaption = QString::fromUtf16(menu);
    info.table = QString::fromUtf16(table);
    info.keyField = QString::fromUtf16(key);
    info.descField = QString::fromUtf16(desc);
    info.loadQuery = QString::fromUtf16(load);
    // The stamp table's column that refers to a code table bears the key's name.
    info.inUseQuery = QStringLiteral("Select StampID from Stamp where ") + info.keyField + QStringLiteral(" = ");
    info.windowCaption = QString::fromUtf16(caption);
    info.label = QString::fromUtf16(label);
    info.findWord = QString::fromUtf16(findWord);
    info.deleteQuestion = QString::fromUtf16(question);
    info.deleteTitle = QString::fromUtf16(title);
    info.inUseMessage = QString::fromUtf16(inUse);
    info.helpContext = help;
    return info;
}

// Stamps use a catalogue through their numbers in it.
CodeTableInfo CatalogueListRow()
{
    CodeTableInfo info =
        Row(kCatalogueList, u"Cata&logues", u"Catalog", u"CatalogID", u"CatalogDesc",
            u"Select * from Catalog order by CatalogDesc", u"Maintain Catalogues", u"Catalogue Description",
            u"catalogue", u"Are you sure that you want to delete this catalogue?", u"Delete Catalogue",
            u"This catalogue is in use in a stamp record", 250);
    info.inUseQuery = QStringLiteral("Select StampID from StampNumber where CatalogID = ");
    return info;
}

const std::array<CodeTableInfo, kCatalogueList>& Catalogue()
{
    static const std::array<CodeTableInfo, kCatalogueList> rows = {
        Row(1, u"&Cancellations", u"cancel", u"CanID", u"CanDesc", u"Select * from cancel order by CanDesc",
            u"Maintain Cancellations", u"Cancellation Description", u"cancellation",
            u"Are you sure that you want to delete this Cancellation?", u"Delete Cancellation",
            u"This cancellation is in use in a stamp record", 19),
        Row(2, u"&Conditions", u"Condition", u"ConID", u"conDesc", u"Select * from condition order by conDesc",
            u"Maintain Conditions", u"Condition Description", u"condition",
            u"Are you sure that you want to delete this condition?", u"Delete Condition",
            u"This condition is in use in a stamp record", 20),
        Row(3, u"&Countries", u"country", u"CouID", u"Coudesc", u"Select * from country order by Coudesc",
            u"Maintain Countries", u"Country Description", u"country",
            u"Are you sure that you want to delete this country?", u"Delete Country",
            u"This country is in use in a stamp record", 49),
        Row(4, u"&Formats", u"format", u"formID", u"FormDesc", u"Select * from format order by FormDesc",
            u"Maintain Formats", u"Format Description", u"format", u"Are you sure that you want to delete this format?",
            u"Delete Format", u"This format is in use in a stamp record", 50),
        Row(5, u"&Gum", u"gum", u"gumID", u"GumDesc", u"Select * from gum order by GumDesc", u"Maintain Gum Types",
            u"Gum Description", u"gum", u"Are you sure that you want to delete this gum type?", u"Delete Gum",
            u"This gum is in use in a stamp record", 51),
        Row(6, u"&Papers", u"paper", u"papID", u"Papdesc", u"Select * from paper order by Papdesc", u"Maintain Papers",
            u"Paper Description", u"paper", u"Are you sure that you want to delete this paper?", u"Delete Paper",
            u"This paper is in use in a stamp record", 52),
        // The menu item's spelling differs from the window's caption; both are the program's own texts.
        Row(7, u"&Performations", u"Perf", u"perfID", u"PerfDesc", u"Select * from perf order by PerfDesc",
            u"Maintain Perforations", u"Perforation Description", u"perforation",
            u"Are you sure that you want to delete this perforation?", u"Delete Perforation",
            u"This perforation is in use in a stamp record", 53),
        Row(8, u"&Topics", u"topic", u"topID", u"TopDesc", u"Select * from topic order by TopDesc", u"Maintain Topics",
            u"Topic Description", u"topic", u"Are you sure that you want to delete this topic?", u"Delete Topic",
            u"This topic is in use in a stamp record", 55),
        Row(9, u"&Types", u"type", u"typeID", u"Typedesc", u"Select * from type order by Typedesc", u"Maintain Types",
            u"Type Description", u"type", u"Are you sure that you want to delete this type?", u"Delete Type",
            u"This type is in use in a stamp record", 54),
        CatalogueListRow(),
    };
    return rows;
}

}  // namespace

bool& CodeTableInfo::ListChanged() const
{
    return CodeChangedFlag(number);
}

QString CodeTableInfo::FindPrompt() const
{
    return QStringLiteral("Enter the ") + findWord + QStringLiteral(" description to find:");
}

const CodeTableInfo& CodeTableInfoFor(int number)
{
    static const CodeTableInfo none;
    return IsMaintainedList(number) ? Catalogue()[static_cast<size_t>(number - 1)] : none;
}
