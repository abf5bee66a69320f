#include "ui/WindowRegistry.h"

void WindowRegistry::enrol(Target target, NotifiedWindow& handler, QWidget& widget)
{
    entries_[target] = Entry{&handler, &widget};
}

void WindowRegistry::withdraw(Target target, const NotifiedWindow& handler)
{
    const auto entry = entries_.find(target);
    if (entry != entries_.end() && entry->second.handler == &handler)
        entries_.erase(entry);
}

NotifiedWindow* WindowRegistry::handler(Target target) const
{
    const auto entry = entries_.find(target);
    if (entry == entries_.end() || !entry->second.widget)
        return nullptr;
    return entry->second.handler;
}

QWidget* WindowRegistry::widget(Target target) const
{
    return handler(target) ? entries_.at(target).widget.data() : nullptr;
}
