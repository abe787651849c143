-- description: Orders of chosen countries in a date range, above an amount
-- connection: Provider=SQLite;Data Source=sample.db
SELECT o.id AS order_id, o.order_date, c.name AS customer, c.country,
       ROUND(SUM(l.quantity * l.unit_price), 2) AS amount
FROM orders o
JOIN customers c ON c.id = o.customer_id
JOIN order_lines l ON l.order_id = o.id
WHERE c.country IN ?SSQLPICKC_Countries||"{SELECT DISTINCT country FROM customers ORDER BY country}"?
  AND o.order_date BETWEEN ?DATE_From? AND ?DATE_To?
GROUP BY o.id, o.order_date, c.name, c.country
HAVING ?NUM_{SUM(l.quantity*l.unit_price)}|{>=,<=}?
ORDER BY o.order_date
