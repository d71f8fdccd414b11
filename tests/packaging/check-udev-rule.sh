#!/usr/bin/env bash
# Checks the keyboard's udev rule: that udev can parse it (udevadm verify where this udev has it,
# a syntax check of our own otherwise) and that it gives the keyboard's hidraw nodes to the user
# at the seat (TAG+="uaccess") and never to everyone (no MODE).
#   check-udev-rule.sh RULES-FILE
set -euo pipefail
rules=$1
fail() { echo "check-udev-rule: $rules: $*" >&2; exit 1; }

if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "$rules" || fail "udevadm verify refuses it"
else
  # udev's grammar: comma-separated KEY[{attribute}] OPERATOR "value" pairs, one rule per line.
  match_keys='ACTION|DEVPATH|KERNEL|KERNELS|NAME|SYMLINK|SUBSYSTEM|SUBSYSTEMS|DRIVER|DRIVERS|ATTR|ATTRS|SYSCTL|TAG|TAGS|ENV|CONST|TEST|PROGRAM|RESULT'
  assign_keys='NAME|SYMLINK|OWNER|GROUP|MODE|TAG|ENV|RUN|LABEL|GOTO|IMPORT|OPTIONS|SECLABEL|ATTR|SYSCTL|WAIT_FOR'
  pair='^[[:space:]]*([A-Z_]+)(\{[^{}"]+\})?[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*"([^"\\]|\\.)*"[[:space:]]*$'
  rules_seen=0
  lineno=0
  while IFS= read -r line || [ -n "$line" ]; do
    lineno=$((lineno + 1))
    [[ $line =~ ^[[:space:]]*(#.*)?$ ]] && continue
    [[ $line == *\\ ]] && fail "line $lineno: continued lines are not checked here"
    rules_seen=$((rules_seen + 1))
    # Split at commas outside quotes.
    rest=$line
    while [ -n "$rest" ]; do
      if [[ $rest =~ ^([^\",]*(\"([^\"\\]|\\.)*\")?[^\",]*)(,(.*))?$ ]]; then
        item=${BASH_REMATCH[1]}
        rest=${BASH_REMATCH[5]}
      else
        fail "line $lineno: not a comma-separated list of KEY OPERATOR \"value\" pairs"
      fi
      [[ $item =~ $pair ]] || fail "line $lineno: '$item' is not KEY OPERATOR \"value\""
      key=${BASH_REMATCH[1]}
      op=${BASH_REMATCH[3]}
      if [[ $op == "==" || $op == "!=" ]]; then
        [[ $key =~ ^($match_keys)$ ]] || fail "line $lineno: $key cannot be matched"
      else
        [[ $key =~ ^($assign_keys)$ ]] || fail "line $lineno: $key cannot be assigned"
      fi
    done
  done < "$rules"
  [ "$rules_seen" -gt 0 ] || fail "no rule in it"
fi

grep -Eq '^[^#]*SUBSYSTEM=="hidraw"' "$rules" || fail "does not match hidraw nodes"
grep -Eq '^[^#]*ATTRS\{idVendor\}=="04f3"' "$rules" || fail "does not match the keyboard's vendor id"
grep -Eq '^[^#]*ATTRS\{idProduct\}=="1406"' "$rules" || fail "does not match the keyboard's product id"
grep -Eq '^[^#]*TAG\+="uaccess"' "$rules" || fail "does not give the nodes to the user at the seat"
if grep -Eq '^[^#]*MODE' "$rules"; then fail "sets a MODE: the nodes must not be opened to everyone"; fi
echo "check-udev-rule: $rules is fine"
