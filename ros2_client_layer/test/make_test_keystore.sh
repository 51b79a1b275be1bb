#!/usr/bin/env bash
# Copyright 2026 Corvanta diagnostics team
#
# Licensed under the Apache License, Version 2.0 (the "License");
# you may not use this file except in compliance with the License.
# You may obtain a copy of the License at
#
#     http://www.apache.org/licenses/LICENSE-2.0
#
# Unless required by applicable law or agreed to in writing, software
# distributed under the License is distributed on an "AS IS" BASIS,
# WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
# See the License for the specific language governing permissions and
# limitations under the License.
#
# SPDX-License-Identifier: Apache-2.0

# Makes a DDS Security keystore for the layer's tests with openssl alone, laid
# out as `ros2 security create_keystore` and `create_enclave` lay one out, so
# that the tests need no ROS installation and the keystore never expires in the
# repository: one CA for identities and permissions, the governance of one
# domain (sros2's default rules: join access control, everything encrypted),
# and per enclave a key, a certificate and permissions for every ROS topic.
#
#   make_test_keystore.sh KEYSTORE DOMAIN_ID ENCLAVE...
set -euo pipefail
if [ "$#" -lt 3 ]; then
  echo "usage: $0 KEYSTORE DOMAIN_ID ENCLAVE..." >&2
  exit 2
fi
keystore=$1
domain=$2
shift 2

public=$keystore/public
private=$keystore/private
enclaves=$keystore/enclaves
mkdir -p "$public" "$private" "$enclaves"

new_key() {
  openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1" 2>/dev/null
}

sign() {  # sign UNSIGNED SIGNED: S/MIME, clear-signed text, as sros2 signs
  openssl smime -sign -text -in "$1" -out "$2" \
    -signer "$public/ca.cert.pem" -inkey "$private/ca.key.pem"
}

new_key "$private/ca.key.pem"
openssl req -new -x509 -key "$private/ca.key.pem" -out "$public/ca.cert.pem" -days 3650 \
  -subj "/CN=layer test CA" -addext "basicConstraints=critical,CA:true,pathlen:1" 2>/dev/null
ln -sf ca.cert.pem "$public/identity_ca.cert.pem"
ln -sf ca.cert.pem "$public/permissions_ca.cert.pem"

cat > "$enclaves/governance.xml" <<EOF
<dds xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="http://www.omg.org/spec/DDS-SECURITY/20170901/omg_shared_ca_governance.xsd">
  <domain_access_rules>
    <domain_rule>
      <domains><id>$domain</id></domains>
      <allow_unauthenticated_participants>false</allow_unauthenticated_participants>
      <enable_join_access_control>true</enable_join_access_control>
      <discovery_protection_kind>ENCRYPT</discovery_protection_kind>
      <liveliness_protection_kind>ENCRYPT</liveliness_protection_kind>
      <rtps_protection_kind>SIGN</rtps_protection_kind>
      <topic_access_rules>
        <topic_rule>
          <topic_expression>*</topic_expression>
          <enable_discovery_protection>true</enable_discovery_protection>
          <enable_liveliness_protection>true</enable_liveliness_protection>
          <enable_read_access_control>true</enable_read_access_control>
          <enable_write_access_control>true</enable_write_access_control>
          <metadata_protection_kind>ENCRYPT</metadata_protection_kind>
          <data_protection_kind>ENCRYPT</data_protection_kind>
        </topic_rule>
      </topic_access_rules>
    </domain_rule>
  </domain_access_rules>
</dds>
EOF
sign "$enclaves/governance.xml" "$enclaves/governance.p7s"

not_before=$(date -u -d '-1 day' +%Y-%m-%dT%H:%M:%S)
not_after=$(date -u -d '+3650 days' +%Y-%m-%dT%H:%M:%S)
for enclave in "$@"; do
  dir=$enclaves/${enclave#/}
  mkdir -p "$dir"
  back=$(realpath --relative-to="$dir" "$keystore")
  ln -sf "$back/public/identity_ca.cert.pem" "$dir/identity_ca.cert.pem"
  ln -sf "$back/public/permissions_ca.cert.pem" "$dir/permissions_ca.cert.pem"
  ln -sf "$back/enclaves/governance.p7s" "$dir/governance.p7s"

  new_key "$dir/key.pem"
  # The enclave name is the certificate's common name; "/" must be escaped in -subj.
  openssl req -new -key "$dir/key.pem" -subj "/CN=${enclave//\//\\/}" -out "$dir/cert.csr"
  openssl x509 -req -in "$dir/cert.csr" -CA "$public/ca.cert.pem" -CAkey "$private/ca.key.pem" \
    -days 3650 -sha256 -extfile <(echo "basicConstraints=CA:false") -out "$dir/cert.pem" 2>/dev/null
  rm "$dir/cert.csr"

  cat > "$dir/permissions.xml" <<EOF
<dds xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="http://www.omg.org/spec/DDS-SECURITY/20170901/omg_shared_ca_permissions.xsd">
  <permissions>
    <grant name="$enclave">
      <subject_name>CN=$enclave</subject_name>
      <validity><not_before>$not_before</not_before><not_after>$not_after</not_after></validity>
      <allow_rule>
        <domains><id>$domain</id></domains>
        <publish><topics><topic>rt/*</topic><topic>rq/*Request</topic><topic>rr/*Reply</topic></topics></publish>
        <subscribe><topics><topic>rt/*</topic><topic>rq/*Request</topic><topic>rr/*Reply</topic></topics></subscribe>
      </allow_rule>
      <allow_rule>
        <domains><id>$domain</id></domains>
        <publish><topics><topic>ros_discovery_info</topic></topics></publish>
        <subscribe><topics><topic>ros_discovery_info</topic></topics></subscribe>
      </allow_rule>
      <default>DENY</default>
    </grant>
  </permissions>
</dds>
EOF
  sign "$dir/permissions.xml" "$dir/permissions.p7s"
done
