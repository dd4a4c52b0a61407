#!/usr/bin/env bash
# The login name is the account Wine runs the program under: the one cmd.exe reports, and a
# Cyrillic one when Wine takes it from USER. Usage: loginname.sh WINE_RUN TEST_PROGRAM
source "$(dirname "$0")/../../tools/lib.sh"
run=$1 test=$2

account=$("$run" cmd /c echo %USERNAME% | tr -d '\r')
echo "Wine's account: $account"
VORPA_LOGIN_NAME=$account "$run" "$test"
USER=Пётр VORPA_LOGIN_NAME=Пётр "$run" "$test"
