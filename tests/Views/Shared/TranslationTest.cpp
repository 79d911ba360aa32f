#include "App/Translations.h"
#include "Models/Week.h"
#include "Services/Preferences.h"
#include "Views/Goals/GoalListView.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Settings/SettingsView.h"
#include "Views/Tray/TrayIcon.h"
#include "Views/Tray/TraySummaryPopup.h"
#include "Views/Weeks/WeekListView.h"
#include "Views/Weeks/WeeklyRitualView.h"
#include "support/Sample.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

// The screens in a pseudo language that wraps every translated text in ⟦…⟧,
// so that a text that escapes tr() (or whose context lupdate reads otherwise
// than the code asks for) shows bare; and the screens in German.
namespace {

using namespace orvana;
using orvana::test::drainEvents;

const QString open = QStringLiteral("⟦");
const QString close = QStringLiteral("⟧");

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(120000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return ok;
}

// One message of a .ts file.
struct Message {
    QString context, source, comment, translation;
    bool numerus = false;
    bool finished = false;
};

std::vector<Message> readTs(const QString& path) {
    std::vector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name"))
            context = xml.readElementText();
        else if (name == QLatin1String("message"))
            m = Message{context,
                        {},
                        {},
                        {},
                        xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes")};
        else if (name == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (name == QLatin1String("comment"))
            m.comment = xml.readElementText();
        else if (name == QLatin1String("translation")) {
            m.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            // The other form of a plural is enough for a comparison.
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.push_back(m);
        }
    }
    return messages;
}

// Qt's own texts (standard buttons, shortcuts' key names) come translated
// from Qt's catalogue: those that it translates count as wrapped too.
class QtTextsWrapped final : public QTranslator {
public:
    QtTextsWrapped() {
        loaded_ = qt_.load(QStringLiteral("qtbase_de"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    bool isEmpty() const override { return !loaded_; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        if (qt_.translate(context, source, disambiguation, n).isEmpty())
            return {};
        return open + QString::fromUtf8(source) + close;
    }

private:
    QTranslator qt_;
    bool loaded_ = false;
};

// Every text lupdate finds in the sources, wrapped, compiled by lrelease and
// installed for the test's lifetime.
struct PseudoLocale {
    QTemporaryDir dir;
    QtTextsWrapped qt;
    QTranslator ours;
    QString problem;
    std::map<QString, QStringList> contexts; // source → the contexts lupdate put it in

    PseudoLocale() {
        const QString project = dir.filePath(QStringLiteral("project.json"));
        const QString extracted = dir.filePath(QStringLiteral("extracted.ts"));
        const QString pseudo = dir.filePath(QStringLiteral("pseudo.ts"));
        const QString compiled = dir.filePath(QStringLiteral("pseudo.qm"));
        QString output;
        if (!run(QStringLiteral(ORVANA_CMAKE),
                 {QStringLiteral("-DIN_FILE=" ORVANA_LUPDATE_PROJECT_IN),
                  QStringLiteral("-DOUT_FILE=") + project, QStringLiteral("-P"),
                  QStringLiteral(ORVANA_LUPDATE_GENERATOR)},
                 &output) ||
            !run(QStringLiteral(ORVANA_LUPDATE),
                 {QStringLiteral("-silent"), QStringLiteral("-project"), project,
                  QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-ts"),
                  extracted},
                 &output)) {
            problem = QStringLiteral("lupdate: ") + output;
            return;
        }
        QFile out(pseudo);
        if (!out.open(QIODevice::WriteOnly)) {
            problem = out.errorString();
            return;
        }
        QXmlStreamWriter xml(&out);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("TS"));
        xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
        xml.writeAttribute(QStringLiteral("language"), QStringLiteral("en"));
        for (const Message& m : readTs(extracted)) {
            contexts[m.source] << m.context;
            xml.writeStartElement(QStringLiteral("context"));
            xml.writeTextElement(QStringLiteral("name"), m.context);
            xml.writeStartElement(QStringLiteral("message"));
            if (m.numerus)
                xml.writeAttribute(QStringLiteral("numerus"), QStringLiteral("yes"));
            xml.writeTextElement(QStringLiteral("source"), m.source);
            if (!m.comment.isEmpty())
                xml.writeTextElement(QStringLiteral("comment"), m.comment);
            const QString wrapped = open + m.source + close;
            if (m.numerus) {
                xml.writeStartElement(QStringLiteral("translation"));
                xml.writeTextElement(QStringLiteral("numerusform"), wrapped);
                xml.writeTextElement(QStringLiteral("numerusform"), wrapped);
                xml.writeEndElement();
            } else {
                xml.writeTextElement(QStringLiteral("translation"), wrapped);
            }
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndDocument();
        out.close();
        if (!run(QStringLiteral(ORVANA_LRELEASE),
                 {QStringLiteral("-silent"), pseudo, QStringLiteral("-qm"), compiled}, &output) ||
            !ours.load(compiled)) {
            problem = QStringLiteral("lrelease: ") + output;
            return;
        }
        QCoreApplication::installTranslator(&qt);
        QCoreApplication::installTranslator(&ours);
    }
    ~PseudoLocale() {
        QCoreApplication::removeTranslator(&ours);
        QCoreApplication::removeTranslator(&qt);
    }
};

// Every text a person sees or hears in the visible windows, with where it is.
struct Texts {
    std::map<QString, QString> seen; // text → first place
    std::map<QString, int> perScreen;
    QString screen;

    void add(const QString& text, const QString& where) {
        QString plain = text;
        if (Qt::mightBeRichText(plain))
            plain = QTextDocumentFragment::fromHtml(plain).toPlainText();
        plain = plain.trimmed();
        if (plain.isEmpty())
            return;
        seen.emplace(plain, where);
        ++perScreen[screen];
    }

    void addActions(const QList<QAction*>& actions, const QString& where) {
        for (QAction* a : actions) {
            if (!a->isVisible() || a->isSeparator())
                continue;
            add(a->text(), where + QStringLiteral(" action"));
            add(a->toolTip() == QString(a->text()).remove(QLatin1Char('&')) ? QString()
                                                                            : a->toolTip(),
                where + QStringLiteral(" action tool tip"));
            if (a->menu())
                addActions(a->menu()->actions(), where);
        }
    }

    void addModel(const QAbstractItemModel* model, const QModelIndex& parent,
                  const QString& where) {
        for (int row = 0; row < model->rowCount(parent); ++row)
            for (int column = 0; column < model->columnCount(parent); ++column) {
                const QModelIndex index = model->index(row, column, parent);
                for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole),
                                 int(Qt::AccessibleTextRole), int(Qt::AccessibleDescriptionRole)})
                    add(index.data(role).toString(), where + QStringLiteral(" row"));
                if (column == 0 && model->hasChildren(index))
                    addModel(model, index, where);
            }
    }

    void addWidget(QWidget* w, const QString& place) {
        const QString where =
            place + QStringLiteral(": ") + QString::fromLatin1(w->metaObject()->className()) +
            (w->objectName().isEmpty() ? QString() : QStringLiteral(" #") + w->objectName());
        if (w->isWindow())
            add(w->windowTitle(), where + QStringLiteral(" title"));
        add(w->toolTip(), where + QStringLiteral(" tool tip"));
        if (auto* label = qobject_cast<QLabel*>(w))
            add(label->text(), where);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(button->text(), where);
        if (auto* field = qobject_cast<QLineEdit*>(w))
            add(field->placeholderText(), where + QStringLiteral(" placeholder"));
        if (auto* field = qobject_cast<QPlainTextEdit*>(w))
            add(field->placeholderText(), where + QStringLiteral(" placeholder"));
        if (auto* field = qobject_cast<QTextEdit*>(w))
            add(field->placeholderText(), where + QStringLiteral(" placeholder"));
        if (auto* box = qobject_cast<QGroupBox*>(w))
            add(box->title(), where);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i), where + QStringLiteral(" item"));
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i), where + QStringLiteral(" tab"));
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
            addModel(view->model(), {}, where);
        if (auto* window = qobject_cast<QMainWindow*>(w))
            addActions(window->menuBar()->actions(), where + QStringLiteral(" menu"));
        addActions(w->actions(), where);
        add(w->accessibleName(), where + QStringLiteral(" accessible name"));
        add(w->accessibleDescription(), where + QStringLiteral(" accessible description"));
        if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w)) {
            add(a->text(QAccessible::Name), where + QStringLiteral(" accessible name"));
            add(a->text(QAccessible::Description),
                where + QStringLiteral(" accessible description"));
        }
    }

    // The visible windows and everything visible in them.
    void addScreen(const QString& name) {
        screen = name;
        drainEvents();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            addWidget(top, name);
            for (QWidget* w : top->findChildren<QWidget*>())
                if (w->isVisible())
                    addWidget(w, name);
        }
    }
};

// Removes the spans between `start` and `end` markers, innermost first.
QString withoutSpans(QString text, const QString& start, const QString& end) {
    const QRegularExpression span(QRegularExpression::escape(start) + QStringLiteral("[^") +
                                  QRegularExpression::escape(start) +
                                  QRegularExpression::escape(end) + QStringLiteral("]*") +
                                  QRegularExpression::escape(end));
    for (QString before; before != text;) {
        before = text;
        text.remove(span);
    }
    return text;
}

// The words a text may hold outside ⟦…⟧: the locale's own month and day
// names (QLocale translates them, not tr()) and the app's name.
std::set<QString> localeWords(const QLocale& locale) {
    std::set<QString> words{QStringLiteral("Orvana"), locale.amText(), locale.pmText()};
    for (auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
        for (int month = 1; month <= 12; ++month) {
            words.insert(locale.monthName(month, format));
            words.insert(locale.standaloneMonthName(month, format));
        }
        for (int day = 1; day <= 7; ++day) {
            words.insert(locale.dayName(day, format));
            words.insert(locale.standaloneDayName(day, format));
        }
    }
    return words;
}

// The words of `text` left once data (§…§, the store's records) and
// translated spans are gone, other than the locale's own names.
QStringList bareWords(const QString& text, const std::set<QString>& allowed) {
    const QString rest =
        withoutSpans(withoutSpans(text, QStringLiteral("§"), QStringLiteral("§")), open, close);
    QStringList words;
    static const QRegularExpression word(QStringLiteral("[\\p{L}\\p{M}]+"));
    for (const auto& match : word.globalMatch(rest)) {
        const QString w = match.captured();
        if (!allowed.count(w) && !allowed.count(w + QLatin1Char('.')))
            words << w;
    }
    return words;
}

// The sample store, every record's text marked as data: §…§.
void fillMarkedSample(test::TestEnvironment& t) {
    test::fillSample(t.context, t.calendar, t.now);
    auto mark = [](const QString& text) { return QStringLiteral("§%1§").arg(text); };
    for (Goal* g : t.context.fetch<Goal>()) {
        g->setTitle(mark(g->title()));
        if (g->goalDescription())
            g->setGoalDescription(mark(*g->goalDescription()));
    }
    for (WeekItem* item : t.context.fetch<WeekItem>())
        item->setTitle(mark(item->title()));
    for (DayTask* task : t.context.fetch<DayTask>())
        task->setTitle(mark(task->title()));
    for (FocusBlockTemplate* block : t.context.fetch<FocusBlockTemplate>())
        block->setTitle(mark(block->title()));
    for (Week* week : t.context.fetch<Week>())
        if (week->intention())
            week->setIntention(mark(*week->intention()));
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    t.context.ensureUndoManager();
}

// The main window's sections, a goal's detail, each step of the weekly
// ritual, Settings and the tray's menu and summary, in turn.
Texts walkTheScreens(test::TestEnvironment& t) {
    Texts texts;
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int row = 0; row < window.sidebar()->count(); ++row) {
        window.sidebar()->setCurrentRow(row);
        drainEvents();
        const QString section = window.currentSection()->root()->objectName();
        texts.addScreen(section);
        if (auto* goals = qobject_cast<GoalListView*>(window.currentSection()->root())) {
            goals->openGoal(*t.context.fetch<Goal>().front());
            texts.addScreen(QStringLiteral("goal detail"));
        }
        if (auto* weeks = qobject_cast<WeekListView*>(window.currentSection()->root())) {
            weeks->ritualButton()->click();
            drainEvents();
            WeeklyRitualView* ritual = weeks->ritualDialog();
            EXPECT_NE(ritual, nullptr);
            for (int step = 0; ritual && step < 8; ++step) {
                texts.addScreen(QStringLiteral("ritual step %1").arg(step + 1));
                if (!ritual->nextButton()->isVisible())
                    break;
                ritual->nextButton()->click();
            }
            if (ritual)
                ritual->close();
            drainEvents();
        }
    }
    window.presentSettings();
    texts.addScreen(QStringLiteral("settings"));
    for (auto* settings : window.findChildren<SettingsView*>())
        settings->close();

    TrayIcon tray(t.env);
    texts.screen = QStringLiteral("tray menu");
    texts.addActions(tray.contextMenu()->actions(), QStringLiteral("tray menu"));
    texts.add(tray.toolTip(), QStringLiteral("tray tool tip"));
    tray.showPopup();
    texts.addScreen(QStringLiteral("tray summary"));
    return texts;
}

TEST(Translation, EveryVisibleTextOfTheScreensGoesThroughTheTranslations) {
    PseudoLocale pseudo;
    ASSERT_TRUE(pseudo.problem.isEmpty()) << pseudo.problem.toStdString();
    test::TestEnvironment t;
    fillMarkedSample(t);
    Texts texts = walkTheScreens(t);
    for (const char* screen :
         {"today", "goals", "goal detail", "weeks", "ritual step 1", "ritual step 2", "focusBlocks",
          "overview", "settings", "tray menu", "tray summary"})
        EXPECT_GT(texts.perScreen[QString::fromLatin1(screen)], 3) << "the walk reached " << screen;

    const auto allowed = localeWords(QLocale());
    QStringList escaped;
    int wrapped = 0;
    for (const auto& [text, where] : texts.seen) {
        wrapped += text.contains(open);
        if (const QStringList words = bareWords(text, allowed); !words.isEmpty())
            escaped << QStringLiteral("%1: \"%2\"").arg(where, text) +
                           // In tr(), but looked up under another context than lupdate's.
                           (pseudo.contexts.count(text)
                                ? QStringLiteral(" (lupdate: %1)")
                                      .arg(pseudo.contexts.at(text).join(QStringLiteral(", ")))
                                : QString());
    }
    escaped.sort();
    EXPECT_GT(wrapped, 20) << "the pseudo translation is in use";
    EXPECT_TRUE(escaped.isEmpty()) << escaped.size() << " texts escape tr():\n"
                                   << escaped.join(QLatin1Char('\n')).toStdString();
}

// The app's own translators in German, as it installs them at start-up;
// removed and the locale restored afterwards.
struct German {
    QLocale before;
    std::vector<QTranslator*> translators;
    QByteArray lcAll = qgetenv("LC_ALL");
    German() {
        // As a German session starts the app: the environment names the
        // language, and QLocale follows it.
        qputenv("LC_ALL", "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto old = qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly);
        installTranslations();
        for (QTranslator* translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly))
            if (!old.contains(translator))
                translators.push_back(translator);
    }
    ~German() {
        for (QTranslator* translator : translators)
            delete translator; // which removes it
        QLocale::setDefault(before);
        if (lcAll.isNull())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", lcAll);
    }
};

TEST(Translation, TodayAGoalTheRitualAndSettingsInGerman) {
    std::map<std::tuple<QString, QString>, QString> german; // (context, source) → German
    std::map<QString, QString> englishWithGerman;           // source → German, where they differ
    for (const Message& m : readTs(QStringLiteral(ORVANA_TRANSLATIONS_DIR "/orvana_de.ts")))
        if (m.finished && !m.numerus && !m.translation.isEmpty()) {
            german[{m.context, m.source}] = m.translation;
            if (m.translation != m.source && m.source.contains(QLatin1Char(' ')))
                englishWithGerman[m.source] = m.translation;
        }
    const QStringList sections{QStringLiteral("Today"), QStringLiteral("Goals"),
                               QStringLiteral("Weeks"), QStringLiteral("Focus Blocks"),
                               QStringLiteral("Overview")};
    QStringList lacking;
    for (const QString& section : sections)
        if (!german.count({QStringLiteral("SidebarSection"), section}))
            lacking << section;
    // The .ts is complete (translations_complete): a lack here is a renamed context.
    if (!lacking.isEmpty())
        FAIL() << "translations/orvana_de.ts has no finished German for the sections "
               << lacking.join(QStringLiteral(", ")).toStdString();

    German de;
    test::TestEnvironment t;
    test::fillSample(t.context, t.calendar, t.now);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    t.context.ensureUndoManager();
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int row = 0; row < sections.size(); ++row)
        EXPECT_EQ(window.sidebar()->item(row)->text(),
                  (german[{QStringLiteral("SidebarSection"), sections[row]}]));

    Texts texts;
    texts.addScreen(QStringLiteral("today"));
    window.sidebar()->setCurrentRow(int(sections.indexOf(QStringLiteral("Goals"))));
    drainEvents();
    auto* goals = qobject_cast<GoalListView*>(window.currentSection()->root());
    ASSERT_NE(goals, nullptr);
    goals->openGoal(*t.context.fetch<Goal>().front());
    texts.addScreen(QStringLiteral("goal detail"));
    window.sidebar()->setCurrentRow(int(sections.indexOf(QStringLiteral("Weeks"))));
    drainEvents();
    auto* weeks = qobject_cast<WeekListView*>(window.currentSection()->root());
    ASSERT_NE(weeks, nullptr);
    weeks->ritualButton()->click();
    drainEvents();
    WeeklyRitualView* ritual = weeks->ritualDialog();
    ASSERT_NE(ritual, nullptr);
    texts.addScreen(QStringLiteral("ritual"));
    const auto title = german.find(
        {QStringLiteral("orvana::WeeklyRitualModel"), QStringLiteral("What Moved Last Week")});
    ASSERT_NE(title, german.end());
    EXPECT_EQ(ritual->titleLabel()->text(), title->second);
    ritual->close();
    window.presentSettings();
    texts.addScreen(QStringLiteral("settings"));

    // No English text that has its German shows, no English month or day
    // name, and the dates are German.
    const QLocale english = QLocale::c();
    const QLocale locale;
    std::set<QString> englishNames;
    for (int i = 1; i <= 12; ++i)
        englishNames.insert(english.monthName(i));
    for (int i = 1; i <= 7; ++i)
        englishNames.insert(english.dayName(i));
    QStringList english_;
    bool germanDate = false;
    for (const auto& [text, where] : texts.seen) {
        if (auto found = englishWithGerman.find(text); found != englishWithGerman.end())
            english_
                << QStringLiteral("%1: \"%2\" (German: \"%3\")").arg(where, text, found->second);
        static const QRegularExpression word(QStringLiteral("\\p{L}+"));
        for (const auto& match : word.globalMatch(text)) {
            const QString w = match.captured();
            if (englishNames.count(w) && w != locale.monthName(3) && w != locale.dayName(1))
                english_ << QStringLiteral("%1: \"%2\" (an English date)").arg(where, text);
            germanDate |= w == locale.monthName(3) || w == locale.standaloneMonthName(3) ||
                          w == locale.dayName(1);
        }
    }
    EXPECT_TRUE(english_.isEmpty()) << english_.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(germanDate) << "no date names March 2026 or Monday in German ("
                            << locale.monthName(3).toStdString() << ", "
                            << locale.dayName(1).toStdString() << ")";
}

} // namespace
