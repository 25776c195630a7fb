#pragma once

// Where the station's help lives and which page a topic opens. The help is a
// folder of HTML pages beside the program; a topic is a page's path inside
// it. No widget: the main window opens what this answers.

#include <QString>

struct HelpEdition
{
    QString folder;       // the help folder's name beside the program
    QString defaultTopic; // the first topic, relative to the folder
};

struct HelpPage
{
    QString path;   // the page to open (absolute)
    QString topic;  // the topic opened, relative to the folder
    QString anchor; // the place inside the page ("" : its top)
    // Why the default topic was opened instead of the one asked for; empty
    // when the asked topic was opened (or none was asked for).
    QString fallbackReason;
};

class HelpTopic
{
public:
    static HelpEdition Edition(bool oemEdition);

    // The page of a topic inside the folder. An empty topic opens the default
    // topic; so does a topic that leaves the folder (an absolute path, "..",
    // a link through which the page lies elsewhere), names a URL scheme or
    // names no page there, with the reason.
    static HelpPage Resolve(const QString& folder, const QString& topic, const QString& defaultTopic);
};
