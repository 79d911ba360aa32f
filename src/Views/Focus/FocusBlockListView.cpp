#include "Views/Focus/FocusBlockListView.h"

namespace orvana {

FocusBlockListView::FocusBlockListView(AppEnvironment&, QWidget* parent) : QWidget(parent) {}

} // namespace orvana
