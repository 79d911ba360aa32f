#pragma once

#include <QWidget>

namespace orvana {

class AppEnvironment;

// The "Focus Blocks" screen (being built).
class FocusBlockListView : public QWidget {
    Q_OBJECT
public:
    explicit FocusBlockListView(AppEnvironment& environment, QWidget* parent = nullptr);
};

} // namespace orvana
