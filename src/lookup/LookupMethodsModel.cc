#include "lookup/LookupMethodsModel.h"

namespace kea {

bool LookupMethodsModel::hasControls(LookupStyle style, int number) {
  if (number < 0) return false;
  switch (style) {
    case LookupStyle::WebSearch:
    case LookupStyle::Dde:
      return number < 4;
    case LookupStyle::Message:
    case LookupStyle::Program:
      return number < 2;
  }
  return false;
}

LookupMethodsModel::BoxState LookupMethodsModel::boxState(LookupStyle style, int number) const {
  const LookupConfiguration::LookupEntry& method = configuration_.entry(style, number);
  if (method.enabled == 0) return BoxState::Clear;
  return &method == configuration_.defaultMethod() ? BoxState::Ticked : BoxState::Grey;
}

bool LookupMethodsModel::boxEnabled(LookupStyle style, int number) const {
  return !configuration_.entry(style, number).label.empty();
}

void LookupMethodsModel::clickBox(LookupStyle style, int number, BoxState newState) {
  LookupConfiguration::LookupEntry& method = configuration_.entry(style, number);
  // An enabled method without a name would be an empty menu item, and it
  // would not survive the next start anyway.
  if (method.label.empty()) return;
  changed_ = true;
  method.enabled = newState != BoxState::Clear ? 1 : 0;
  if (newState == BoxState::Ticked) {
    configuration_.setDefaultLabel(method.label);
  } else if (method.label == configuration_.defaultLabel()) {
    configuration_.setDefaultLabel({});
  }
}

void LookupMethodsModel::editName(LookupStyle style, int number, std::string_view name) {
  changed_ = true;
  const bool wasTicked = boxState(style, number) == BoxState::Ticked;
  LookupConfiguration::LookupEntry& method = configuration_.entry(style, number);
  if (method.label.empty() != name.empty()) method.enabled = name.empty() ? 0 : 1;
  method.label = name;
  if (wasTicked) configuration_.setDefaultLabel(name);
}

void LookupMethodsModel::editFirst(LookupStyle style, int number, std::string_view text) {
  changed_ = true;
  configuration_.entry(style, number).first = text;
}

void LookupMethodsModel::editSecond(LookupStyle style, int number, std::string_view text) {
  // The web style has no second value, and the encoding is a choice of two.
  if (style == LookupStyle::WebSearch || style == LookupStyle::Program) return;
  changed_ = true;
  configuration_.entry(style, number).second = text;
}

void LookupMethodsModel::chooseEncoding(int programNumber, bool hex) {
  changed_ = true;
  configuration_.entry(LookupStyle::Program, programNumber).second = hex ? "1" : "0";
}

bool LookupMethodsModel::testLookup() {
  configuration_.effectiveDefault();
  return configuration_.lookup(configuration_.testWord(), lookup_commands::kDefaultMethod);
}

}  // namespace kea
