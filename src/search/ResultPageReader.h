#pragma once
#include "common/DomSnapshot.h"

#include <QString>
#include <functional>

namespace peldora {

class Browser;
class SearchList;
struct ProgramState;

// Where a harvest reads from and writes to: the browser's current page and the search list,
// with the window's refresh of the row counter (Label1).
struct PageHarvest {
    Browser& browser;
    SearchList& list;
    std::function<void()> refreshCounter;
};

// The elements whose rendered text the reader and the pager read: links (PDF link and next-page
// link) and the title blocks.
DomTextRequest ResultPageTextRequest();

// Offers every complete entry of a J-STAGE result page to the list (加入LV1) and returns how many
// were offered, refused duplicates and filtered titles included. Anything that is not a result
// page gives 0.
int ReadResultPage(const DomSnapshot& page, SearchList& list, const QString& folder);
// The same on the page the browser shows now.
int ReadResultPage(Browser& browser, SearchList& list, const QString& folder);

// Reads a page into the list, then refreshes the counter.
int AddPage(const PageHarvest& harvest, const DomSnapshot& page, const QString& folder);
// The same on the page on screen.
int AddCurrentPage(const PageHarvest& harvest, const QString& folder);

// The folder harvested rows carry: the download folder when it is asked for at harvest time,
// otherwise none (the hand-over fills in the download folder of its day).
QString HarvestFolder(const ProgramState& state);

} // namespace peldora
