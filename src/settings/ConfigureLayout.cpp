#include "settings/ConfigureLayout.h"

namespace {

// The controls below the master-site row, and the row itself; the labels move
// with their combos.
const QStringList kBelowMasterSite{"chkJobID", "fraUserMode", "fraAutoSaveJobSum", "fraPSLogFile", "fraLogFile"};
const QStringList kMasterSiteRow{"lblMasterSite", "cboMasterSite"};

} // namespace

ConfigureLayout::ConfigureLayout()
    : m_tops{
          {"Label3", 240},        {"cboProgrammerModel", 240},
          {"Label2", 720},        {"cboLPTPort", 720},
          {"Label1", 1200},       {"cboHandlerType", 1200},
          {"lblMasterSite", 1680}, {"cboMasterSite", 1680},
          {"chkJobID", 2160},     {"fraUserMode", 2520},
          {"fraAutoSaveJobSum", 3360}, {"fraPSLogFile", 4560},
          {"fraLogFile", 5760},
          // The buttons stand beside the lists and never move.
          {"btnOK", 240},         {"btnCancel", 720},
      }
{
}

void ConfigureLayout::MoveBelowHandlerRow(int twips)
{
    move(kMasterSiteRow + kBelowMasterSite, twips);
}

void ConfigureLayout::MoveBelowMasterSiteRow(int twips)
{
    move(kBelowMasterSite, twips);
}

void ConfigureLayout::move(const QStringList& controls, int twips)
{
    for (const QString& c : controls)
        m_tops[c] += twips;
}
