<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>QORNC</name>
    <message>
        <source>QOR Network Client</source>
        <translation>QOR Network Client</translation>
    </message>
    <message>
        <source>Enter information</source>
        <translation>Saisir les informations</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>À propos...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>F&amp;in</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>État&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Update list</source>
        <translation>Ac&amp;tualiser</translation>
    </message>
    <message>
        <source>Online:</source>
        <translation>En ligne&#xa0;:</translation>
    </message>
    <message>
        <source>Contact list:</source>
        <translation>Contacts&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Joindre</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Couper</translation>
    </message>
    <message>
        <source>&amp;Send message</source>
        <translation>&amp;Envoyer le message</translation>
    </message>
    <message>
        <source>Messages:</source>
        <translation>Dialogue&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Auto-update list</source>
        <translation>Actualisation a&amp;utomatique</translation>
    </message>
    <message>
        <source>&amp;Edit list</source>
        <translation>&amp;Modifier</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Terminé</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Show password</source>
        <translation>&amp;Afficher le mot de passe</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nom&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Secret&#xa0;:</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>IP serveur&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos...</translation>
    </message>
    <message>
        <source>%1
Version %2
by %3</source>
        <translation>%1
Version %2
par %3</translation>
    </message>
    <message>
        <source>the QORNC developers</source>
        <translation>l&apos;équipe QORNC</translation>
    </message>
    <message>
        <source>Contact list</source>
        <translation>Liste de contacts</translation>
    </message>
    <message>
        <source>Online</source>
        <translation>En ligne</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>Message to send</source>
        <translation>Message à envoyer</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Ligne d&apos;état</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Server IP</source>
        <translation>IP du serveur</translation>
    </message>
    <message>
        <source>QORNC - Not connected</source>
        <translation>QORNC - Non connecté</translation>
    </message>
    <message>
        <source>QORNC - New message(s)</source>
        <translation>QORNC - Nouveau(x) message(s)</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Afficher</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Masquer</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>No status messages.</source>
        <translation>Aucun message d&apos;état.</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Connexion à %1 en cours...</translation>
    </message>
    <message>
        <source>Not connected: the attempt was abandoned.</source>
        <translation>Non connecté&#xa0;: la tentative a été abandonnée.</translation>
    </message>
    <message>
        <source>Can&apos;t connect: Error code %1.</source>
        <translation>Connexion impossible&#xa0;: code d&apos;erreur %1.</translation>
    </message>
    <message>
        <source>Message send error: %1.</source>
        <translation>Erreur d&apos;envoi&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Connection to the server lost: Error code %1.</source>
        <translation>Connexion perdue&#xa0;: code d&apos;erreur %1.</translation>
    </message>
    <message>
        <source>Refused at login: the name or password may be wrong.</source>
        <translation>Connexion refusée&#xa0;: nom ou mot de passe peut-être faux.</translation>
    </message>
    <message>
        <source>Can&apos;t log in: the name and password together are too long.</source>
        <translation>Connexion impossible&#xa0;: nom et mot de passe trop longs.</translation>
    </message>
    <message>
        <source>Can&apos;t listen for messages: Error code %1.</source>
        <translation>Réception impossible&#xa0;: code d&apos;erreur %1.</translation>
    </message>
    <message>
        <source>Refused a delivery from %1: not the server&apos;s address.</source>
        <translation>Livraison de %1 refusée&#xa0;: ce n&apos;est pas le serveur.</translation>
    </message>
    <message>
        <source>Unable to send message to other user.</source>
        <translation>Impossible d&apos;envoyer le message.</translation>
    </message>
    <message>
        <source>Not sent: the server has not yet said who is online. Press Enter again in a moment.</source>
        <translation>Non envoyé&#xa0;: le serveur n&apos;a pas dit qui est en ligne. Réessayez dans un instant.</translation>
    </message>
    <message>
        <source>Not sent: select who to send to in the Online list.</source>
        <translation>Non envoyé&#xa0;: choisissez les destinataires (liste En ligne).</translation>
    </message>
    <message>
        <source>Not sent: nobody is online to send to.</source>
        <translation>Non envoyé&#xa0;: personne n&apos;est en ligne.</translation>
    </message>
    <message>
        <source>Not sent: not connected to the server.</source>
        <translation>Non envoyé&#xa0;: pas de connexion au serveur.</translation>
    </message>
    <message>
        <source>Message full at %1 bytes: the rest was left out.</source>
        <translation>Message plein (%1 octets)&#xa0;: le reste a été ignoré.</translation>
    </message>
    <message>
        <source>Contact list full: that change was not made.</source>
        <translation>Liste de contacts pleine&#xa0;: modification refusée.</translation>
    </message>
    <message>
        <source>%1 older messages were dropped: too many arrived at once.</source>
        <translation>%1 messages anciens abandonnés&#xa0;: trop d&apos;arrivées à la fois.</translation>
    </message>
    <message>
        <source>info.cfg is not a file that can be read; it is taken as missing.</source>
        <translation>info.cfg n&apos;est pas un fichier lisible&#xa0;; il est considéré comme absent.</translation>
    </message>
    <message>
        <source>list.cfg is not a file that can be read; the contact list starts empty.</source>
        <translation>list.cfg n&apos;est pas un fichier lisible&#xa0;; la liste de contacts commence vide.</translation>
    </message>
    <message>
        <source>list.cfg holds more contacts than the list can take; only the first ones were loaded. The file is kept as it is unless you change the list.</source>
        <translation>list.cfg contient plus de contacts que la liste ne peut en recevoir&#xa0;; seuls les premiers ont été chargés. Le fichier reste tel quel tant que vous ne modifiez pas la liste.</translation>
    </message>
    <message>
        <source>Error saving file</source>
        <translation>Erreur lors de l&apos;enregistrement du fichier</translation>
    </message>
    <message>
        <source>Disconnect before setting options.</source>
        <translation>Déconnectez-vous avant de modifier les options.</translation>
    </message>
    <message>
        <source>QORNC already runs in the folder %1.</source>
        <translation>QORNC fonctionne déjà dans le dossier %1.</translation>
    </message>
    <message>
        <source>Use a different name.</source>
        <translation>Utilisez un autre nom.</translation>
    </message>
    <message>
        <source>Use a different password.</source>
        <translation>Utilisez un autre mot de passe.</translation>
    </message>
    <message>
        <source>The name and password together are too long: at most %1 characters.</source>
        <translation>Le nom et le mot de passe sont trop longs ensemble&#xa0;: %1 caractères au plus.</translation>
    </message>
    <message>
        <source>Specify a server IP.</source>
        <translation>Indiquez l&apos;IP d&apos;un serveur.</translation>
    </message>
    <message>
        <source>Server IP is too long.</source>
        <translation>L&apos;IP du serveur est trop longue.</translation>
    </message>
</context>
</TS>
