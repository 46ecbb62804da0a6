#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "ui/help_topics.h"

using namespace griv;

TEST(HelpTopics, ContextsLeadToTheirPagesAndAnythingElseToTheContents) {
  EXPECT_EQ(HelpPageOf(kHelpSaveOptions), "options_save.htm");
  EXPECT_EQ(HelpPageOf(kHelpAreaOverlay), "area.htm");
  EXPECT_EQ(HelpPageOf(0), kHelpContentsPage);
  EXPECT_EQ(HelpPageOf(431), kHelpContentsPage);
  EXPECT_EQ(OptionsTabHelpContext(0), 410);
  EXPECT_EQ(OptionsTabHelpContext(1), 420);
  EXPECT_EQ(OptionsTabHelpContext(2), 430);
  EXPECT_EQ(OptionsTabHelpContext(3), 440);
  EXPECT_EQ(OptionsTabHelpContext(-1), 410);
  EXPECT_EQ(HelpFileTopic("C:\\Program Files\\GRIV\\griv.chm", kQuickStartPage),
            "C:\\Program Files\\GRIV\\griv.chm::/quick_start.htm");
}

namespace {
std::map<std::string, std::vector<std::string>> Sections(const std::string& file) {
  std::ifstream in(file);
  std::map<std::string, std::vector<std::string>> out;
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') section = line;
    else out[section].push_back(line);
  }
  return out;
}
}  // namespace

// The program opens help by number; the help project must map each number to the same page.
TEST(HelpTopics, TheHelpProjectMapsEveryContextToTheSamePage) {
  const std::filesystem::path dir = GRIV_HELP_SOURCE;
  auto s = Sections((dir / "griv.hhp").string());
  ASSERT_FALSE(s["[MAP]"].empty());
  std::map<std::string, int> ids;
  const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
  for (const auto& l : s["[MAP]"]) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, define)) << l;
    ids[m[1]] = std::stoi(m[2]);
  }
  std::map<int, std::string> pageOfContext;
  for (const auto& l : s["[ALIAS]"]) {
    const auto eq = l.find('=');
    ASSERT_NE(eq, std::string::npos) << l;
    ASSERT_TRUE(ids.count(l.substr(0, eq))) << l;
    pageOfContext[ids[l.substr(0, eq)]] = l.substr(eq + 1);
  }
  const std::set<std::string> files(s["[FILES]"].begin(), s["[FILES]"].end());
  for (const HelpTopic& t : HelpTopics()) {
    EXPECT_EQ(pageOfContext[t.context], t.page) << t.context;
    EXPECT_TRUE(files.count(std::string(t.page))) << t.page;
  }
  EXPECT_EQ(pageOfContext.size(), HelpTopics().size());
  EXPECT_TRUE(files.count(std::string(kHelpContentsPage)));
  EXPECT_TRUE(files.count(std::string(kQuickStartPage)));
  // Every listed file is there, and every page links only to pages and pictures that are.
  const std::regex link(R"((?:href|src)=\"([^\":#]+)(?:#([^\"]*))?\")");
  auto textOf = [&](const std::string& f) {
    std::stringstream html;
    html << std::ifstream(dir / f).rdbuf();
    return html.str();
  };
  // The contents and the keyword index lead to listed pages too.
  const std::regex local(R"(name=\"Local\" value=\"([^\"#]+)(?:#([^\"]*))?\")");
  std::vector<std::pair<std::string, std::string>> sitemaps{{"griv.hhc", textOf("griv.hhc")}, {"griv.hhk", textOf("griv.hhk")}};
  EXPECT_GT(std::count(sitemaps[1].second.begin(), sitemaps[1].second.end(), '\n'), 100) << "a keyword index";
  for (const auto& [name, text] : sitemaps)
    for (std::sregex_iterator it(text.begin(), text.end(), local), end; it != end; ++it) {
      EXPECT_TRUE(files.count((*it)[1])) << name << " leads to " << (*it)[1];
      if ((*it)[2].length() && files.count((*it)[1]))
        EXPECT_NE(textOf((*it)[1]).find("id=\"" + std::string((*it)[2]) + "\""), std::string::npos) << name << " leads to " << (*it)[0];
    }
  for (const auto& f : files) {
    ASSERT_TRUE(std::filesystem::exists(dir / f)) << f;
    if (f.size() < 4 || f.substr(f.size() - 4) != ".htm") continue;
    const std::string text = textOf(f);
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      const std::string target = (*it)[1], anchor = (*it)[2];
      EXPECT_TRUE(files.count(target)) << f << " links to " << target;
      if (!anchor.empty() && files.count(target)) {
        EXPECT_NE(textOf(target).find("id=\"" + anchor + "\""), std::string::npos) << f << " links to " << target << "#" << anchor;
      }
    }
  }
}
