#!/usr/bin/env bash
# Encrypts a password for set 90 ("newpass") with the public half of the
# private key that the library reads, making a test key pair first when
# there is none:
#   scripts/password-key.sh PASSWORD [DIR]
# The key is DIR/etc/conf/direct_dev_privkey.pem (DIR: tools/demo, where the
# console runs). Prints the Base64 ciphertext (PKCS#1 v1.5 padding).
set -euo pipefail
password=${1:?usage: password-key.sh PASSWORD [DIR]}
key=${2:-"$(dirname "$0")/../tools/demo"}/etc/conf/direct_dev_privkey.pem
[ -f "$key" ] || { mkdir -p "$(dirname "$key")" && openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$key"; }
printf '%s' "$password" | openssl pkeyutl -encrypt -inkey "$key" | openssl base64 -A && echo
