#include "consent/consent_texts.h"

namespace {

const consent_texts INSTALLER = {
    "CorVane Setup",
    "Install Corvane",
    "Less ads, more you \xE2\x80\x94 experience the internet\r\nlike you've never seen before.",
    "Install Corvane",
    "By clicking Install, you agree to the Terms of Service and Privacy Policy.",
    "Are you sure you want to cancel installing CorVane?",
    "Corvane must be installed system-wide to work across all browsers. To install, please click 'Install Now' again "
    "and select 'Yes' when Windows asks for permission.",
};

const consent_texts UNINSTALLER = {
    "CorVane Uninstall",
    "Uninstall Corvane",
    "We're sorry to see you go.\r\nClick below to remove Corvane from your PC.",
    "Uninstall Corvane",
    "",
    nullptr,
    "Corvane must be uninstalled with administrator rights so it can remove its system files. To uninstall, please "
    "click 'Uninstall Now' again and select 'Yes' when Windows asks for permission.",
};

}  // namespace

const consent_texts& consent_texts_for(int is_uninstall) { return is_uninstall ? UNINSTALLER : INSTALLER; }
