// The top of one search: counters, terms, roots, the remembered files first,
// then every root, then the crediting of the results.
#include <algorithm>

#include "engine/path_list.h"
#include "engine/search_engine.h"

namespace tarvo {

SearchEngine::SearchEngine(SearchHost& host, const SearchRequest& request, FileMemory& memory,
                           ResultSink& results)
    : host_(host),
      request_(request),
      memory_(memory),
      results_(results),
      // Zeroed: a block reaching past the fill reads defined bytes.
      window_(new char[kScanWindowSize + std::max(kScanBlockReach, kProbeReach)]()) {
    prepareTermLookups();
}

void SearchEngine::prepareRun() {
    stats_ = SearchStats{};
    terms_.parseTerms(request_.findText);
    prepareTermLookups();
    roots_ = parsePathList(request_.pathText);
}

// No step tests RunState: the walk and the scanner test it on entry, so after
// a stop the remaining roots return at once and the results gathered so far
// are still credited.
void SearchEngine::runSearch() {
    prepareRun();
    results_.clearResults();
    // A Path that names nothing searches nothing, and says so like a root
    // that cannot be opened: the remembered files alone, wherever they lie,
    // are not what was asked for.
    if (roots_.empty()) {
        host_.reportError("Error: the Path names no folder or file to search");
        return;
    }
    std::function<bool(const char*)> inScope;
    if (request_.rememberedFilesWithinRoots) {
        inScope = [this](const char* path) {
            for (const std::string& root : roots_) {
                if (liesUnderRoot(path, root, request_.options.recursive)) return true;
            }
            return false;
        };
    }
    memory_.rememberedFilesPass(
        terms_, [this](const char* path) { scanFile(path); }, inScope);
    for (const std::string& root : roots_)
        walkDirectory(root, 0);
    memory_.creditResults(results_);
}

}  // namespace tarvo
